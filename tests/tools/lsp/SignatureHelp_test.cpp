// Signature help: the active operand and variant as the operands are typed.
#include "SignatureHelp.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

TEST(SignatureHelp, ActiveOperandAndVariant)
{
    const std::tuple<const char*, int, int> cases[] = {
        {"  add ^", 0, 0},          {"  add R1,^", 0, 1},       {"  add R1, 5^", 1, 1},
        {"  add R1, R2, ^", 0, 2},  {"  add R^1, 5, R3", 0, 0}, {".DEF REG R4\n add R1, $REG^", 0, 1},
        {".DEF N 4\n add R1, $N^", 1, 1}, {"x: jge R1 , 4 ,^", 0, 2},
    };
    for (const auto& [text, signature, parameter] : cases) {
        const test::Annotations source(text);
        const auto help = signatureHelp(Document("file:///t.tasm", "t.tasm", source.text, 1), source.point());
        ASSERT_TRUE(help) << text;
        EXPECT_EQ(help->activeSignature, signature) << text;
        EXPECT_EQ(help->activeParameter, parameter) << text;
    }
    // Each parameter's offsets mark its own text in the label.
    const auto help = signatureHelp(Document("file:///t.tasm", "t.tasm", "  add R1, ", 1), {0, 10});
    ASSERT_TRUE(help);
    const SignatureInformation& first = help->signatures.at(0);
    const auto& second = first.parameters.at(1);
    EXPECT_EQ(first.label.substr(second.start, second.end - second.start), "alu_rgt_reg R0 to R63");
    for (const char* text : {"  add", "  wait 5 # x", "  frob 1, 2", "", "label:"}) {
        EXPECT_FALSE(signatureHelp(Document("file:///t.tasm", "t.tasm", text, 1), {0, 100})) << text;
    }
}

} // namespace
} // namespace tarnasm::lsp
