// Tests of statement kinds, addresses and argument values.
#include "asmparser/AsmStatement.h"

#include <gtest/gtest.h>

namespace {
AsmToken token(const std::string& text)
{
    return AsmToken(std::make_shared<const SourceLine>(std::string(text), 7, nullptr));
}
}  // namespace

TEST(AsmStatement, KindTransitions)
{
    AsmInstruction label;
    EXPECT_EQ(AsmType::EMPTY, label.type());
    label.setComment(token("c"));
    EXPECT_EQ(AsmType::COMMENT, label.type());
    label.setAddressLabel(token("loop"));
    label.setComment(token("d"));
    EXPECT_EQ(AsmType::LABEL_ONLY, label.type());

    AsmInstruction instr(token("add"));
    instr.setAddressLabel(token("l"));
    instr.setComment(token("c"));
    EXPECT_EQ(AsmType::INSTRUCTION, instr.type());
    instr.clear();
    EXPECT_EQ(AsmType::EMPTY, instr.type());
    EXPECT_TRUE(instr.command().empty() && !instr.hasAddressLabel() && !instr.hasComment());
    EXPECT_EQ(nullptr, instr.sourceLine());

    AsmDirective def(token(".DEF"));
    def.setComment(token("c"));
    EXPECT_EQ(AsmType::DIRECTIVE, def.type());
}

TEST(AsmStatement, SourceLineAndText)
{
    AsmStatement s;
    s.setComment(AsmToken(std::string("made up")));
    EXPECT_EQ(nullptr, s.sourceLine()) << "a line without a number is not taken";
    const AsmToken numbered = token("nop # c");
    s.setComment(numbered.substr(6, 1));
    s.setComment(token("other"));
    EXPECT_EQ(numbered.sourceLine(), s.sourceLine()) << "the first numbered line is taken and kept";
    EXPECT_EQ("nop # c", s.sourceString());

    AsmInstruction disassembled;
    disassembled.setCommand("jump");
    EXPECT_EQ("", AsmStatement(disassembled.command()).sourceString());
}

TEST(AsmStatement, AddressesAndArguments)
{
    AsmInstruction instr(token("jump @end, 3"));
    EXPECT_FALSE(instr.hasAddress());
    EXPECT_EQ(0xFFFFFFFFu, instr.address());
    instr.setAddress(5);

    auto labelRef = std::make_shared<AsmArgument>(token("@end"));
    labelRef->setAddressLabel(labelRef->stringValue().substr(1, 3));
    labelRef->setImmediateIntValue(12);
    auto immediate = std::make_shared<AsmArgument>(token("3"));
    immediate->setImmediateIntValue(3);
    instr.addArg(labelRef);
    instr.addArg(AsmInstruction::ArgPtr());
    instr.addArg(std::move(immediate));
    ASSERT_EQ(2u, instr.argList().size());

    instr.clearAllAddresses();
    EXPECT_EQ(0u, instr.address());
    EXPECT_FALSE(instr.hasAddress());
    EXPECT_FALSE(labelRef->hasIntValue() || labelRef->hasStringValue());
    EXPECT_EQ(0, labelRef->intValue());
    EXPECT_EQ("end", labelRef->addressLabel().toString());
    EXPECT_TRUE(labelRef->isImmediate() && !labelRef->isRegister());
    EXPECT_TRUE(instr.argList()[1]->hasIntValue() && instr.argList()[1]->hasStringValue());

    instr.clear();
    EXPECT_TRUE(instr.argList().empty());
    EXPECT_EQ(0xFFFFFFFFu, instr.address());

    AsmArgument reg(3);
    reg.setRegisterName('\xe9');
    EXPECT_FALSE(reg.isRegister()) << "only ASCII letters name registers";
}
