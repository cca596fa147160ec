// Tests of statement kinds, addresses and argument values.
#include "asmparser/AsmStatement.h"

#include <gtest/gtest.h>

namespace {
AsmToken token(const std::string& text, int lineNr = 7)
{
    return AsmToken(std::make_shared<const SourceLine>(std::string(text), lineNr, nullptr));
}
}  // namespace

TEST(AsmStatement, KindTransitions)
{
    AsmInstruction fresh;
    EXPECT_EQ(AsmType::EMPTY, fresh.type());
    fresh.setComment(token("c"));
    EXPECT_EQ(AsmType::COMMENT, fresh.type());
    fresh.setAddressLabel(token("loop"));
    EXPECT_EQ(AsmType::LABEL_ONLY, fresh.type());
    fresh.setComment(token("d"));
    EXPECT_EQ(AsmType::LABEL_ONLY, fresh.type()) << "a comment keeps a label";

    AsmInstruction instr(token("add"));
    EXPECT_EQ(AsmType::INSTRUCTION, instr.type());
    instr.setAddressLabel(token("l"));
    instr.setComment(token("c"));
    EXPECT_EQ(AsmType::INSTRUCTION, instr.type());
    instr.clear();
    EXPECT_EQ(AsmType::EMPTY, instr.type());
    EXPECT_TRUE(instr.command().empty() && !instr.hasAddressLabel() && !instr.hasComment());
    EXPECT_EQ(nullptr, instr.sourceLine());

    AsmDirective def(token(".DEF"));
    def.setName(token("x"));
    EXPECT_EQ(AsmType::DIRECTIVE, def.type());
    def.setComment(token("c"));
    EXPECT_EQ(AsmType::DIRECTIVE, def.type());
    def.clear();
    EXPECT_EQ(AsmType::EMPTY, def.type());
    EXPECT_TRUE(def.directive().empty() && def.name().empty());

    EXPECT_EQ(AsmType::COMMENT, AsmStatement(token("c")).type());
    AsmType t = AsmType::UNKNOWN;
    t = AsmType::LABEL_ONLY;
    EXPECT_TRUE(t == AsmType(3));
}

TEST(AsmStatement, SourceLineAndText)
{
    AsmStatement s;
    const AsmToken unnumbered("made up");
    s.setComment(unnumbered);
    EXPECT_EQ(nullptr, s.sourceLine()) << "a line without a number is not taken";
    EXPECT_EQ("", AsmStatement(unnumbered).sourceString());

    const AsmToken numbered = token("nop # c");
    s.setComment(numbered.substr(6, 1));
    EXPECT_EQ(numbered.sourceLine(), s.sourceLine());
    EXPECT_EQ("nop # c", s.sourceString());
    s.setComment(token("other"));
    EXPECT_EQ(numbered.sourceLine(), s.sourceLine()) << "the first line stays";

    AsmInstruction disassembled;
    disassembled.setCommand("jump");
    EXPECT_EQ("jump", disassembled.command().toString());
    EXPECT_EQ("", disassembled.sourceString());
}

TEST(AsmStatement, AddressesAndArguments)
{
    AsmInstruction instr(token("jump @end, 3"));
    EXPECT_EQ(0xFFFFFFFFu, instr.address());
    EXPECT_FALSE(instr.hasAddress());
    instr.setAddress(5);
    EXPECT_TRUE(instr.hasAddress());

    auto labelRef = std::make_shared<AsmArgument>(token("@end"));
    labelRef->setAddressLabel(labelRef->stringValue().substr(1, 3));
    labelRef->setImmediateIntValue(12);
    auto immediate = std::make_shared<AsmArgument>(token("3"));
    immediate->setImmediateIntValue(3);
    instr.addArg(labelRef);
    instr.addArg(std::shared_ptr<AsmArgument>());
    instr.addArg(std::move(immediate));
    instr.addArg(AsmInstruction::ArgPtr());
    ASSERT_EQ(2u, instr.argList().size());

    instr.clearAllAddresses();
    EXPECT_EQ(0u, instr.address());
    EXPECT_FALSE(instr.hasAddress());
    EXPECT_FALSE(labelRef->hasIntValue());
    EXPECT_EQ(0, labelRef->intValue());
    EXPECT_FALSE(labelRef->hasStringValue());
    EXPECT_EQ("end", labelRef->addressLabel().toString());
    EXPECT_TRUE(labelRef->isImmediate());
    const AsmArgument& three = *instr.argList()[1];
    EXPECT_TRUE(three.hasIntValue() && three.hasStringValue()) << "plain values are kept";

    instr.clear();
    EXPECT_TRUE(instr.argList().empty());
    EXPECT_EQ(0xFFFFFFFFu, instr.address());
}

TEST(AsmArgument, KindMarkers)
{
    AsmArgument value(42);
    EXPECT_TRUE(value.hasIntValue());
    EXPECT_FALSE(value.hasStringValue());
    EXPECT_FALSE(value.isRegister() || value.isImmediate());
    value.setRegisterNameIntValue('R', 3);
    EXPECT_TRUE(value.isRegister());
    EXPECT_FALSE(value.isImmediate());
    value.setRegisterName('\xe9');
    EXPECT_FALSE(value.isRegister()) << "only ASCII letters name registers";
    value.setImmediateIntValue(-1);
    EXPECT_TRUE(value.isImmediate() && !value.isRegister());
    EXPECT_EQ(-1, value.intValue());
}
