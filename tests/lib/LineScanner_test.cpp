// Tests of scanLine: the words of a line as the assembler reads them.
#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <string>

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
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scanned(c.line), c.tokens) << "line: " << c.line;
    }
}
