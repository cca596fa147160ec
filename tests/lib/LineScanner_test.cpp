// Tests of scanLine: the words of a line as the assembler reads them.
#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

/// The tokens as "kind:text" (operands get "#index"), joined by " | ".
std::string scanned(std::string_view line)
{
    static const char* const names[] = {"label", "mnemonic", "directive", "name", "value", "register",
                                        "number", "@ref", "$ref", "comment", "other"};
    std::string text;
    for (const tarnasm::Token& token : tarnasm::scanLine(line)) {
        text += text.empty() ? "" : " | ";
        text += names[static_cast<int>(token.kind)];
        if (token.operand >= 0) {
            text += "#" + std::to_string(token.operand);
        }
        text += ":" + std::string(line.substr(static_cast<size_t>(token.column), static_cast<size_t>(token.length)));
    }
    return text;
}

} // namespace

TEST(LineScanner, Statements)
{
    struct Case { const char* line; const char* tokens; };
    const Case cases[] = {
        {"   \t ", ""},
        {"  # only a comment", "comment:# only a comment"},
        {"loop :  nop # x", "label:loop | mnemonic:nop | comment:# x"},
        {"\tjmp @loop", "mnemonic:jmp | @ref#0:@loop"},
        {"add R1,-5 ,$DST#c", "mnemonic:add | register#0:R1 | number#1:-5 | $ref#2:$DST | comment:#c"},
        {"set_awg_gain 0x10, 017", "mnemonic:set_awg_gain | number#0:0x10 | number#1:017"},
        {".DEF  GAIN   0x200   # gain", "directive:.DEF | name:GAIN | value:0x200 | comment:# gain"},
        {"nop extra words", "mnemonic:nop | other#0:extra | other:words"},
        {"move 1, R2 ; junk # c", "mnemonic:move | number#0:1 | register#1:R2 | other:; junk | comment:# c"},
        {"µs: nop", "other:µs: nop"},
        // The assembler's blanks, not only space and tab, are no refused text.
        {"nop\f", "mnemonic:nop"},
        {"nop\v", "mnemonic:nop"},
        {"jmp 1 \f2\v\r", "mnemonic:jmp | number#0:1 | other:2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scanned(c.line), c.tokens) << "line: " << c.line;
    }
}

TEST(LineScanner, OperandsAndNamesAsTheParserReadsThem)
{
    using tarnasm::TokenKind;
    const auto read = [](std::string_view text) {
        const tarnasm::OperandReading r = tarnasm::readOperand(text);
        return std::tuple(r.kind, r.value, r.errorKind);
    };
    using K = tarnasm::DiagnosticKind;
    EXPECT_EQ(read("0x1f"), std::tuple(TokenKind::number, 31, K::other));
    EXPECT_EQ(read("017"), std::tuple(TokenKind::number, 15, K::other));
    EXPECT_EQ(read("-5"), std::tuple(TokenKind::number, -5, K::other));
    EXPECT_EQ(read("R63"), std::tuple(TokenKind::registerName, 63, K::other));
    EXPECT_EQ(read("@loop"), std::tuple(TokenKind::labelReference, 0, K::other));
    EXPECT_EQ(read("$N"), std::tuple(TokenKind::symbolReference, 0, K::other)); // checked, not looked up
    EXPECT_EQ(read("@9x"), std::tuple(TokenKind::labelReference, 0, K::invalidLabelReference));
    EXPECT_EQ(read("$9x"), std::tuple(TokenKind::symbolReference, 0, K::invalidSymbolName));
    EXPECT_EQ(read("0x"), std::tuple(TokenKind::number, 0, K::invalidNumber));
    for (const char* notOne : {"", " 5", "5 ", "1, 2", "5 # c", "nop"}) {
        EXPECT_FALSE(tarnasm::readOperand(notOne).ok()) << notOne;
    }
    for (const char* name : {"start", "_x9", "R5", "nop"}) {
        EXPECT_TRUE(tarnasm::isName(name)) << name;
    }
    for (const char* notName : {"", "9lives", "a b", "a-b", "@a", "a\n", "caf\xC3\xA9"}) {
        EXPECT_FALSE(tarnasm::isName(notName)) << notName;
    }
}
