// Tests of the token predicates and the tokenizing step.
#include "asmparser/AsmSyntax.h"

#include <gtest/gtest.h>

namespace {
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

AsmToken token(const std::string& text)
{
    return AsmToken(std::make_shared<const SourceLine>(std::string(text), 1, nullptr));
}
}  // namespace

TEST(AsmSyntax, ComposedClasses)
{
    const AsmSyntax syntax;
    const std::string alnum = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(members(CharFilter("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz")),
              members(syntax.identifierChars));
    EXPECT_EQ(members(CharFilter(("$@-_" + alnum).c_str())), members(syntax.argumentChars));
    EXPECT_EQ(members(CharFilter((".^_" + alnum).c_str())), members(syntax.statementWordChars));
    EXPECT_EQ("-0123456789ABCDEFXabcdefx", members(syntax.immediateChars));
    EXPECT_EQ(253u, members(syntax.directiveValueChars).size());
    EXPECT_TRUE(syntax.directiveValueChars.accept('\0') && syntax.commentTextChars.accept('\xff'));
    EXPECT_EQ(24u, members(syntax.separatorChars).size());
}

TEST(AsmSyntax, Predicates)
{
    AsmSyntax syntax;
    struct Case {
        const char* text;
        bool directive, identifier, mnemonic, reg, immediate, symbolRef, addressRef;
    };
    // text                  dir    ident  mnem   reg    imm    $ref   @ref
    const Case cases[] = {
        {".",                false, false, false, false, false, false, false},
        {".def",             true,  false, false, false, false, false, false},
        {".DE-F",            false, false, false, false, false, false, false},
        {"_x1",              false, true,  true,  false, false, false, false},
        {"1x",               false, false, true,  false, true,  false, false},
        {"R1",               false, true,  true,  true,  false, false, false},
        {"r0",               false, true,  true,  true,  false, false, false},
        {"Q9",               false, true,  true,  true,  false, false, false},
        {"R",                false, true,  true,  false, false, false, false},
        {"RX",               false, true,  true,  false, false, false, false},
        {"R1x",              false, true,  true,  true,  false, false, false},
        {"\xe9" "1",         false, false, false, false, false, false, false},
        {"0x1F",             false, false, true,  false, true,  false, false},
        {"-5",               false, false, false, false, true,  false, false},
        {"abc",              false, true,  true,  false, true,  false, false},
        {"--",               false, false, false, false, true,  false, false},
        {"+5",               false, false, false, false, false, false, false},
        {"5u",               false, false, true,  false, false, false, false},
        {"$",                false, false, false, false, false, false, false},
        {"$a",               false, false, false, false, false, true,  false},
        {"@-",               false, false, false, false, false, false, true},
        {"",                 false, false, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        const AsmToken t = token(c.text);
        EXPECT_EQ(c.directive, syntax.isDirective(t)) << c.text;
        EXPECT_EQ(c.identifier, syntax.isIdentifier(t)) << c.text;
        EXPECT_EQ(c.mnemonic, syntax.isMnemonic(t)) << c.text;
        EXPECT_EQ(c.reg, syntax.isRegister(t)) << c.text;
        EXPECT_EQ(c.immediate, syntax.isImmediate(t)) << c.text;
        EXPECT_EQ(c.symbolRef, syntax.isSymbolRef(t)) << c.text;
        EXPECT_EQ(c.addressRef, syntax.isAddressRef(t)) << c.text;
    }
    EXPECT_TRUE(syntax.isComment(token("# x")));
    EXPECT_FALSE(syntax.isComment(token(" #")));
    EXPECT_FALSE(syntax.isRegister(AsmToken(token("R1").sourceLine(), 1))) << "'1' then past the line";
}

TEST(AsmSyntax, Filter2Token)
{
    const AsmSyntax syntax;
    struct Case {
        const char* line;
        size_t start;
        bool argument;  // argumentChars, else the separator form
        const char* text;
        size_t expectedStart;
    };
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
