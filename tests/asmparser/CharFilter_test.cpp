// Tests of the character classes on the bytes a parser meets in hostile input: NUL and high bytes.
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

TEST(CharFilter, NulAndHighBytesAreOrdinaryEntries)
{
    EXPECT_FALSE(CharFilter("ab").accept(std::string("a\0b", 3))) << "NUL is an ordinary byte";
    EXPECT_TRUE((!CharFilter()).accept(std::string("a\0b", 3)));
    EXPECT_EQ(233u, CharFilter::index('\xe9'));
    EXPECT_TRUE(CharFilter("\xe9\xff").accept('\xff'));
    EXPECT_FALSE(CharFilter("\xe9").accept('\x69')) << "high bytes have their own entries";

    CharFilter f("a");
    f.include([](char c) { return c == '\x80'; });
    EXPECT_EQ("a\x80", members(f));
    // A classifier sees unsigned values, never a negative one.
    f.include([](int c) { return c >= 0xfe ? 1 : 0; });
    EXPECT_EQ("a\x80\xfe\xff", members(f));
    EXPECT_EQ(252u, members(!f).size());
}
