// Tests of the token predicates, the byte classes of values and comments, and the tokenizing step.
#include "asmparser/AsmSyntax.h"

#include <gtest/gtest.h>

namespace {
AsmToken token(const std::string& text)
{
    return AsmToken(std::make_shared<const SourceLine>(std::string(text), 1, nullptr));
}
}  // namespace

TEST(AsmSyntax, Predicates)
{
    const AsmSyntax syntax;
    // Flags in order: directive, identifier, mnemonic, register, immediate, symbol ref, address ref.
    const std::pair<const char*, const char*> cases[] = {
        {".", "0000000"},    {".def", "1000000"}, {".DE-F", "0000000"}, {"_x1", "0110000"}, {"1x", "0010100"},
        {"R1", "0111000"},   {"r0", "0111000"},   {"Q9", "0111000"},    {"R", "0110000"},   {"RX", "0110000"},
        {"R1x", "0111000"},  {"\xe9" "1", "0000000"}, {"0x1F", "0010100"}, {"-5", "0000100"}, {"abc", "0110100"},
        {"--", "0000100"},   {"+5", "0000000"},   {"5u", "0010000"},    {"$", "0000000"},   {"$a", "0000010"},
        {"@-", "0000001"},   {"", "0000000"},
    };
    for (const auto& [text, flags] : cases) {
        const AsmToken t = token(text);
        const bool results[] = {syntax.isDirective(t), syntax.isIdentifier(t), syntax.isMnemonic(t),
                                syntax.isRegister(t),  syntax.isImmediate(t),  syntax.isSymbolRef(t),
                                syntax.isAddressRef(t)};
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(flags[i] == '1', results[i]) << "'" << text << "' predicate " << i;
        }
    }
    EXPECT_TRUE(syntax.isComment(token("# x")));
    EXPECT_FALSE(syntax.isComment(token(" #")));
    EXPECT_FALSE(syntax.isRegister(AsmToken(token("R1").sourceLine(), 1))) << "'1' then past the line";
    EXPECT_TRUE(syntax.directiveValueChars.accept('\0') && syntax.commentTextChars.accept('\xff'));
}

TEST(AsmSyntax, Filter2Token)
{
    const AsmSyntax syntax;
    // argument: cut with argumentChars, else with the separator form.
    struct Case { const char* line; size_t start; bool argument; const char* text; size_t expectedStart; };
    const Case cases[] = {
        {"  R0, R1", 0, true, "R0", 2},  {":x", 0, true, ":", 0},       {"  #c", 0, true, "", 2},
        {"ab", 2, true, "", 2},          {"a [b", 1, true, "[", 2},     {"x, -0x1F ", 2, true, "-0x1F", 3},
        {" \t\n", 0, true, "", 3},       {"a\xe9z", 0, true, "a", 0},    {"a+b c", 0, false, "a", 0},
        {"\xe9z;q", 0, false, "\xe9z", 0}, {" ]x", 0, false, "]", 1},  {"  ", 0, false, "", 2},
    };
    for (const Case& c : cases) {
        AsmToken t(token(c.line).sourceLine(), c.start);
        if (c.argument) {
            syntax.filter2Token(t, syntax.argumentChars);
        } else {
            syntax.filter2Token(t);
        }
        EXPECT_EQ(c.text, t.toString()) << c.line;
        EXPECT_EQ(c.expectedStart, t.start()) << c.line;
    }
    // The word is cut from the line, past the token's old end.
    AsmToken shortToken(token("abc d").sourceLine(), 0, 1);
    syntax.filter2Token(shortToken, syntax.identifierChars);
    EXPECT_EQ("abc", shortToken.toString());
}
