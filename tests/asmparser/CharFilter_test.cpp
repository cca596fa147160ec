// Tests of the character-class set operations and the predefined classes.
#include "asmparser/CharFilter.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// The members of a class as one text, for comparing whole classes.
std::string members(const CharFilter& f)
{
    std::string s;
    for (int v = 0; v < 256; ++v) {
        if (f.accept(static_cast<char>(v))) {
            s += static_cast<char>(v);
        }
    }
    return s;
}
}  // namespace

TEST(CharFilter, AcceptEdges)
{
    const CharFilter none;
    const CharFilter all = !none;
    EXPECT_EQ(256u, members(all).size());
    EXPECT_FALSE(none.accept('\0') || all.accept("") || all.accept(std::string()) || all.accept("x", 0));
    EXPECT_TRUE(all.accept(std::string("a\0b", 3)));
    EXPECT_FALSE(CharFilter("ab").accept(std::string("a\0b", 3))) << "NUL is an ordinary byte";
    EXPECT_TRUE(CharFilter("ab").accept("abba") && !CharFilter("ab").accept("abc", 3));
    EXPECT_EQ(233u, CharFilter::index('\xe9'));
    EXPECT_TRUE(CharFilter("\xe9\xff").accept('\xff'));
    EXPECT_FALSE(CharFilter("\xe9").accept('\x69')) << "high bytes have their own entries";
}

TEST(CharFilter, SetOperations)
{
    CharFilter f("abc");
    f.exclude('b').include(std::string("xy")).include('\xe9', "z", CharFilter("0"));
    EXPECT_EQ("0acxyz\xe9", members(f));
    f.exclude("xy").exclude(CharFilter("z0"));
    EXPECT_EQ("ac\xe9", members(f));
    f &= CharFilter("a\xe9q");
    EXPECT_EQ("a\xe9", members(f));
    EXPECT_EQ("aq\xe9", members(f | CharFilter("q")));
    f.include([](char c) { return c == '\x80' || c == 'k'; });
    EXPECT_EQ("ak\x80\xe9", members(f));
    f.exclude([](char c) { return c < 0; });
    EXPECT_EQ("ak", members(f));
    // A classifier sees unsigned values, never a negative one.
    f.include([](int c) { return c >= 0xfe ? 1 : 0; });
    EXPECT_EQ("ak\xfe\xff", members(f));
    EXPECT_EQ(252u, members(!f).size());
}

TEST(CharFilter, PredefinedClasses)
{
    using namespace CharFilters;
    EXPECT_EQ("\t\n\v\f\r ", members(isSpace));
    EXPECT_EQ(254u, members(!isEndOfLine).size());
    EXPECT_EQ("0123456789ABCDEFXabcdefx", members(isXDigit));
    EXPECT_EQ("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", members(isAlnum));
    EXPECT_EQ(95u, members(isPrint).size());
    EXPECT_TRUE(isPrint.accept(' ') && isPrint.accept('~') && !isPrint.accept('\x7f'));
}
