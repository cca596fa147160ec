// Tests of token boundaries, moves over the line and comparisons.
#include "asmparser/AsmToken.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {
std::shared_ptr<const SourceLine> line(const std::string& text, int lineNr = 1)
{
    return std::make_shared<const SourceLine>(std::string(text), lineNr, nullptr);
}

struct Range {
    size_t start;
    size_t finish;
};

void expectRange(const AsmToken& t, Range r, const std::string& where)
{
    EXPECT_EQ(r.start, t.start()) << where;
    EXPECT_EQ(r.finish, t.finish()) << where;
}
}  // namespace

TEST(AsmToken, DefaultHasNoSource)
{
    AsmToken t;
    EXPECT_TRUE(t.empty());
    EXPECT_TRUE(t.isAtEndOfSource());
    EXPECT_FALSE(t.hasSource());
    EXPECT_EQ(nullptr, t.data());
    EXPECT_EQ("", t.toString());
    EXPECT_EQ('\0', t.front());
    EXPECT_EQ('\0', t.popFront());
    t.next();
    t.setLength(5);
    expectRange(t, {0, 0}, "moves without a line");
}

TEST(AsmToken, ConstructorsClampToTheLine)
{
    const auto ten = line("0123456789");
    struct Case {
        size_t start;
        int count;
        Range expected;
    };
    const Case cases[] = {
        {4, 2, {4, 6}},        {4, 100, {4, 10}},     {4, INT_MAX, {4, 10}}, {100, 2, {10, 10}},
        {0, -3, {0, 7}},       {8, -3, {7, 7}},       {2, -9, {1, 1}},   {2, -10, {0, 0}},
        {2, INT_MIN, {0, 0}},  {10, 0, {10, 10}},
    };
    for (const Case& c : cases) {
        expectRange(AsmToken(ten, c.start, c.count), c.expected,
                    std::to_string(c.start) + "," + std::to_string(c.count));
    }
    expectRange(AsmToken(ten, 3), {3, 10}, "to the end");
    expectRange(AsmToken(ten, 30), {10, 10}, "past the end");
    expectRange(AsmToken(AsmToken::SourcePtr(), 3, 2), {0, 0}, "no line");
    const AsmToken own("abc");
    EXPECT_EQ("abc", own.toString());
    EXPECT_FALSE(own.hasSource());
}

TEST(AsmToken, SettersKeepTheInvariant)
{
    AsmToken t(line("0123456789"), 2, 3);
    t.setStart(100);
    expectRange(t, {10, 10}, "setStart past end");
    EXPECT_TRUE(t.isAtEndOfSource());
    t.setStart(4);
    expectRange(t, {4, 10}, "setStart back keeps finish");
    t.setFinish(2);
    expectRange(t, {2, 2}, "setFinish below start");
    t.setLength(SIZE_MAX);
    expectRange(t, {2, 10}, "setLength huge");
    t.setLength(3);
    expectRange(t, {2, 5}, "setLength shrinks");
    t.advance(SIZE_MAX);
    expectRange(t, {10, 10}, "advance huge");
    EXPECT_EQ('\0', t.front());
    EXPECT_EQ('\0', AsmToken(line("ab"), 1)[5]);
}

TEST(AsmToken, Substr)
{
    const AsmToken abc(line("  $abc  "), 2, 4);
    struct Case {
        size_t pos;
        int count;
        const char* text;
        size_t start;
    };
    const Case cases[] = {
        {1, INT_MAX, "abc", 3}, {1, 2, "ab", 3},   {0, -1, "$ab", 2}, {1, -1, "ab", 3}, {3, -1, "", 5},
        {1, INT_MIN, "", 3},    {4, 1, "", 0},     {9, 1, "", 0},     {0, 0, "", 0},
    };
    for (const Case& c : cases) {
        const AsmToken part = abc.substr(c.pos, c.count);
        const std::string where = std::to_string(c.pos) + "," + std::to_string(c.count);
        EXPECT_EQ(c.text, part.toString()) << where;
        EXPECT_EQ(c.start, part.start()) << where;
        EXPECT_EQ(abc.sourceLine(), part.sourceLine()) << where;
    }
}

TEST(AsmToken, WalkingTheLine)
{
    AsmToken t(line("add R0, R1"), 4, 2);
    EXPECT_EQ("R0", t.toString());
    const AsmToken rest = t.following();
    expectRange(rest, {6, 10}, "following");
    expectRange(t, {4, 6}, "following leaves the token");
    t.next();
    EXPECT_EQ(", R1", t.toString());

    AsmToken joined(line("a \n\t b"), 1);
    joined.setLength(0);
    joined.next();
    EXPECT_EQ("b", joined.toString()) << "blanks and line ends are skipped";

    AsmToken blanks(line("  "), 0);
    blanks.stripBack();
    expectRange(blanks, {0, 0}, "stripBack");
    AsmToken atEnd(line("ab"), 2);
    atEnd.next();
    expectRange(atEnd, {2, 2}, "next at the end");

    AsmToken pop(line("xy"), 1, 1);
    EXPECT_EQ('y', pop.popFront());
    EXPECT_EQ('\0', pop.popFront());
    expectRange(pop, {2, 2}, "popFront");
}

TEST(AsmToken, Comparisons)
{
    const auto tok = [](const char* s) { return AsmToken(std::string(s)); };
    EXPECT_TRUE(tok("ABC") < tok("ABD"));
    EXPECT_TRUE(tok("AB") < tok("ABC"));
    EXPECT_FALSE(tok("ABC") < tok("AB"));
    EXPECT_FALSE(tok("ABC") < tok("ABC"));
    EXPECT_TRUE(tok(".DEF") < tok(".def"));
    EXPECT_FALSE(tok(".def") < tok(".DEF"));
    EXPECT_TRUE(tok("\xe9") < tok("A")) << "bytes compare as signed chars";
    EXPECT_FALSE(AsmToken() < AsmToken());
    EXPECT_TRUE(AsmToken() < tok("a"));

    EXPECT_TRUE(tok(".DEF").isEqualCaseInsensitive(".def"));
    EXPECT_TRUE(tok(".DEF").isEqualCaseInsensitive(std::string(".def")));
    EXPECT_FALSE(tok(".DEFX").isEqualCaseInsensitive(".def"));
    EXPECT_FALSE(tok(".DE").isEqualCaseInsensitive(".def"));
    EXPECT_FALSE(tok(".DEF").isEqualCaseInsensitive(std::string(".defx")));
    EXPECT_TRUE(AsmToken().isEqualCaseInsensitive(""));

    EXPECT_TRUE(tok(":") == ':');
    EXPECT_FALSE(tok("::") == ':');
    EXPECT_FALSE(AsmToken() == '\0');
    EXPECT_TRUE(tok("R1") == std::string("R1"));
    EXPECT_FALSE(tok("R1") == std::string("R"));

    std::ostringstream os;
    os << AsmToken(line("add R0"), 4) << AsmToken();
    EXPECT_EQ("R0", os.str());
}
