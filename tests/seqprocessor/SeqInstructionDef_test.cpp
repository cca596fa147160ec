// Tests of instruction definitions and variations: signatures, the same-field message, select order.
#include "seqprocessor/SeqInstructionDef.h"

#include "seqprocessor/ErrorText.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

const SeqArgumentTable& args()
{
    static const SeqArgumentTable t(
        {{0, "IMM", 31, 0}, {15, "REG0", 5, 0}, {16, "REG1", 37, 32}, {17, "REG2", 43, 38},
         {19, "INSTR_ADDR", 51, 38}, {21, "SELECT", 57, 57}, {22, "OPCODE", 63, 58}},
        {{0, "alu_dst_reg", "R", 17, 0, 63}, {1, "alu_src_reg", "R", 15, 0, 63}, {3, "alu_lft_reg", "R", 16, 0, 63},
         {4, "alu_rgt_reg", "R", 15, 0, 63}, {5, "alu_rgt_imm", "", 0, 0, -1}, {6, "ins_adr_imm", "", 19, 0, -1}});
    return t;
}

SeqInstructionDef::FieldList baseFields()
{
    return {args().fieldTable().find(22u), args().fieldTable().find(21u)};
}

std::string text(const SeqInstructionDef& def)
{
    std::ostringstream os;
    os << def;
    return os.str();
}

} // namespace

TEST(SeqInstructionDef, SignatureAndText)
{
    SeqInstructionDef add(8, "add", 1);
    for (const char* name : {"alu_lft_reg", "alu_rgt_imm", "alu_dst_reg"}) {
        add.addArgument(args().find(name));
    }
    add.addArgument(nullptr);
    EXPECT_EQ("R#,#,R#", add.signature());
    EXPECT_EQ(3u, add.signature().count());
    EXPECT_EQ("add alu_lft_reg(R#), alu_rgt_imm(#), alu_dst_reg(R#)", text(add));
    EXPECT_NO_THROW(add.validateFields(baseFields()));

    const SeqInstructionDef stop(1, "stop", 0);
    EXPECT_EQ("", stop.signature());
    EXPECT_EQ("stop", text(stop));
    EXPECT_NO_THROW(stop.validateFields(baseFields()));

    SeqInstructionDef::Signature parsed;
    parsed.addImmediateArg();
    parsed.addRegisterArg('Q');
    EXPECT_EQ("#,Q#", parsed.toPrettyString());
    EXPECT_FALSE(SeqInstructionDef().isInitialized());
}

TEST(SeqInstructionDef, TwoArgumentsInOneField)
{
    SeqInstructionDef def(8, "add", 0);
    def.addArgument(args().find("alu_src_reg"));
    EXPECT_EQ("Instruction \"add\" has different arguments writing into the same field:\n"
              "adding argument \"alu_rgt_reg\" with field=REG0 (id=15)\n"
              "Existing arguments and fields:\n"
              "  alu_src_reg: field=REG0 (id=15)\n"
              "  alu_rgt_reg: field=REG0 (id=15)",
              errorText<SeqProcDuplicateError>([&] { def.addArgument(args().find("alu_rgt_reg")); }));
}

// Duplicate selects and signatures are rejected through the instruction set (its table-error test).
TEST(SeqInstructionVariations, FrontIsTheLowestSelect)
{
    auto immediate = std::make_shared<SeqInstructionDef>(3, "jmp", 1);
    immediate->addArgument(args().find("ins_adr_imm"));
    auto reg = std::make_shared<SeqInstructionDef>(3, "jmp", 0);
    reg->addArgument(args().find("alu_dst_reg"));
    SeqInstructionVariations v(immediate);
    v.add(reg);
    EXPECT_EQ(reg.get(), &v.front());
    EXPECT_EQ(immediate, v.find("#"));
    EXPECT_EQ(reg.get(), v.lookup("R#"));
    EXPECT_EQ(nullptr, v.lookup(""));
    // The empty signature names the variant without operands.
    const SeqInstructionVariations stop(std::make_shared<SeqInstructionDef>(1, "stop", 0));
    EXPECT_EQ(&stop.front(), stop.lookup(""));
}

TEST(SeqInstructionDefDeathTest, ArgumentBeyondTheListIsInternalFault)
{
    EXPECT_EXIT(SeqInstructionDef(1, "stop", 0).getArg(0), testing::ExitedWithCode(1),
                "file='seqprocessor/SeqInstructionDef.cpp', line=.+, function='getArg', error='Argument number 0 "
                "of instruction stop is too large for 0 arguments'");
}
