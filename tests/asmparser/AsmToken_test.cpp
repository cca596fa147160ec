// Tests of token boundaries, moves over the line and comparisons.
#include "asmparser/AsmToken.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {
std::shared_ptr<const SourceLine> line(const std::string& text)
{
    return std::make_shared<const SourceLine>(std::string(text), 1, nullptr);
}

using Span = std::pair<size_t, size_t>;
Span span(const AsmToken& t) { return {t.start(), t.finish()}; }
}  // namespace

TEST(AsmToken, DefaultHasNoSource)
{
    AsmToken t;
    EXPECT_TRUE(t.empty() && t.isAtEndOfSource() && !t.hasSource());
    EXPECT_EQ(nullptr, t.data());
    EXPECT_EQ("", t.toString());
    EXPECT_EQ('\0', t.front());
    EXPECT_EQ('\0', t.popFront());
    t.next();
    t.setLength(5);
    EXPECT_EQ(Span(0, 0), span(t));
}

TEST(AsmToken, ConstructorsClampToTheLine)
{
    const auto ten = line("0123456789");
    struct Case { size_t start; int count; Span expected; } const cases[] = {
        {4, 2, {4, 6}},   {4, INT_MAX, {4, 10}}, {100, 2, {10, 10}}, {0, -3, {0, 7}},  {8, -3, {7, 7}},
        {2, -9, {1, 1}},  {2, -10, {0, 0}},      {2, INT_MIN, {0, 0}}, {10, 0, {10, 10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, span(AsmToken(ten, c.start, c.count))) << c.start << "," << c.count;
    }
    EXPECT_EQ(Span(3, 10), span(AsmToken(ten, 3)));
    EXPECT_EQ(Span(10, 10), span(AsmToken(ten, 30)));
    EXPECT_EQ(Span(0, 0), span(AsmToken(AsmToken::SourcePtr(), 3, 2)));
    EXPECT_EQ(Span(0, 3), span(AsmToken(std::string("abc"))));
}

TEST(AsmToken, SettersKeepTheInvariant)
{
    // Applied in turn to one token on a line of length 10.
    const std::pair<void (*)(AsmToken&), Span> steps[] = {
        {[](AsmToken& t) { t.setStart(100); }, {10, 10}},    {[](AsmToken& t) { t.setStart(4); }, {4, 10}},
        {[](AsmToken& t) { t.setFinish(2); }, {2, 2}},       {[](AsmToken& t) { t.setLength(SIZE_MAX); }, {2, 10}},
        {[](AsmToken& t) { t.setLength(3); }, {2, 5}},       {[](AsmToken& t) { t.advance(SIZE_MAX); }, {10, 10}},
    };
    AsmToken t(line("0123456789"), 2, 3);
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].first(t);
        EXPECT_EQ(steps[i].second, span(t)) << "step " << i;
    }
    EXPECT_TRUE(t.isAtEndOfSource());
    EXPECT_EQ('\0', t.front()) << "reading at the end of the line";
    EXPECT_EQ('\0', AsmToken(line("ab"), 1)[5]);
}

TEST(AsmToken, Substr)
{
    const AsmToken abc(line("  $abc  "), 2, 4);
    struct Case { size_t pos; int count; const char* text; size_t start; } const cases[] = {
        {1, INT_MAX, "abc", 3}, {1, 2, "ab", 3}, {0, -1, "$ab", 2}, {1, -1, "ab", 3}, {3, -1, "", 5},
        {1, INT_MIN, "", 3},    {4, 1, "", 0},   {9, 1, "", 0},     {0, 0, "", 0},
    };
    for (const Case& c : cases) {
        const AsmToken part = abc.substr(c.pos, c.count);
        EXPECT_EQ(c.text, part.toString()) << c.pos << "," << c.count;
        EXPECT_EQ(c.start, part.start()) << c.pos << "," << c.count;
        EXPECT_EQ(abc.sourceLine(), part.sourceLine());
    }
}

TEST(AsmToken, WalkingTheLine)
{
    AsmToken t(line("add R0, R1"), 4, 2);
    EXPECT_EQ(Span(6, 10), span(t.following()));
    EXPECT_EQ(Span(4, 6), span(t));
    t.next();
    EXPECT_EQ(", R1", t.toString());

    AsmToken joined(line("a \n\t b"), 1, 0);
    joined.next();
    EXPECT_EQ("b", joined.toString()) << "blanks and line ends are skipped";
    AsmToken atEnd(line("ab"), 2);
    atEnd.next();
    EXPECT_EQ(Span(2, 2), span(atEnd));
    AsmToken blanks(line("  "));
    blanks.stripBack();
    EXPECT_EQ(Span(0, 0), span(blanks));

    AsmToken pop(line("xy"), 1, 1);
    EXPECT_EQ('y', pop.popFront());
    EXPECT_EQ('\0', pop.popFront());
    EXPECT_EQ(Span(2, 2), span(pop));
}

TEST(AsmToken, Comparisons)
{
    const auto tok = [](const char* s) { return AsmToken(std::string(s)); };
    struct Case { const char* a; const char* b; bool less; } const order[] = {
        {"ABC", "ABD", true}, {"AB", "ABC", true},  {"ABC", "AB", false}, {"ABC", "ABC", false},
        {".DEF", ".def", true}, {".def", ".DEF", false}, {"\xe9", "A", true}, {"", "a", true},
    };
    for (const Case& c : order) {
        EXPECT_EQ(c.less, tok(c.a) < tok(c.b)) << c.a << " < " << c.b;
    }
    EXPECT_FALSE(AsmToken() < AsmToken());

    EXPECT_TRUE(tok(".DEF").isEqualCaseInsensitive(".def"));
    EXPECT_TRUE(tok(".DEF").isEqualCaseInsensitive(std::string(".def")));
    EXPECT_FALSE(tok(".DEFX").isEqualCaseInsensitive(".def"));
    EXPECT_FALSE(tok(".DEF").isEqualCaseInsensitive(std::string(".defx")));

    EXPECT_TRUE(tok(":") == ':');
    EXPECT_FALSE(tok("::") == ':');
    EXPECT_FALSE(AsmToken() == '\0');
    EXPECT_FALSE(tok("R1") == std::string("R"));

    std::ostringstream os;
    os << AsmToken(line("add R0"), 4) << AsmToken();
    EXPECT_EQ("R0", os.str());
}
