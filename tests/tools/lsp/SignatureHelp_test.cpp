// Signature help: the active operand and variant as the operands are typed.
#include "SignatureHelp.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

using test::Annotations;

TEST(SignatureHelp, ActiveOperandAndVariant)
{
    struct Case
    {
        const char* source;
        int signature;
        int parameter;
    };
    const Case cases[] = {
        {"  add ^", 0, 0},          {"  add R1,^", 0, 1},       {"  add R1, 5^", 1, 1},
        {"  add R1, R2, ^", 0, 2},  {"  add R^1, 5, R3", 0, 0}, {".DEF REG R4\n add R1, $REG^", 0, 1},
        {".DEF N 4\n add R1, $N^", 1, 1}, {"x: jge R1 , 4 ,^", 0, 2},
    };
    for (const Case& c : cases) {
        const Annotations source(c.source);
        const Document document("file:///t.tasm", "t.tasm", source.text, 1);
        const auto help = signatureHelp(document, source.point());
        ASSERT_TRUE(help) << c.source;
        EXPECT_EQ(help->activeSignature, c.signature) << c.source;
        EXPECT_EQ(help->activeParameter, c.parameter) << c.source;
    }
}

TEST(SignatureHelp, ParametersMarkEachOperandWithItsRange)
{
    const Document document("file:///t.tasm", "t.tasm", "  add R1, ", 1);
    const auto help = signatureHelp(document, {0, 10});
    ASSERT_TRUE(help);
    ASSERT_EQ(help->signatures.size(), 2u);
    const SignatureInformation& first = help->signatures[0];
    EXPECT_EQ(first.label, "add alu_lft_reg R0 to R63, alu_rgt_reg R0 to R63, alu_dst_reg R0 to R63");
    ASSERT_EQ(first.parameters.size(), 3u);
    const auto& second = first.parameters[1];
    EXPECT_EQ(first.label.substr(second.start, second.end - second.start), "alu_rgt_reg R0 to R63");
    EXPECT_EQ(help->signatures[1].label.find("alu_rgt_imm 0 to 4294967295"), 27u);
    EXPECT_EQ(first.documentation, "opcode 8, select 0");
    for (const char* text : {"  add", "  wait 5 # x", "  frob 1, 2", "", "label:"}) {
        const Document none("file:///t.tasm", "t.tasm", text, 1);
        EXPECT_FALSE(signatureHelp(none, {0, 100})) << text;
    }
}

} // namespace
} // namespace tarnasm::lsp
