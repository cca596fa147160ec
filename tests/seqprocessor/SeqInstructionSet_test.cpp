// Tests of building an instruction set: a sound table, the main table errors and the empty set.
#include "seqprocessor/SeqInstructionSet.h"

#include "support/ErrorText.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

// Builds a set over a small fixed field and argument table; returns the error text.
std::string build(std::initializer_list<SeqInstructionInit> rows, unsigned int opcodeId = 22,
                  unsigned int selectId = 21)
{
    return errorText<std::logic_error>([&] {
        SeqInstructionSet set("small", 1, 0, opcodeId, selectId,
                              {{0, "IMM", 31, 0}, {1, "ADDR", 51, 38}, {2, "REG", 43, 38}, {21, "SELECT", 57, 57},
                               {22, "OPCODE", 63, 58}},
                              {{0, "adr_imm", "", 1, 0, -1}, {1, "adr_reg", "R", 2, 0, 63}, {2, "val_imm", "", 0, 0, -1}},
                              rows);
    });
}

} // namespace

TEST(SeqInstructionSet, TableErrors)
{
    EXPECT_EQ("(no error)", build({{3, "jmp", 1, 0}, {3, "jmp", 0, 1}, {8, "ph", 1, -1, 2}}));
    EXPECT_EQ("Opcode SeqField with Id=9 not found", build({}, 9, 21));
    EXPECT_EQ("Instruction with opcode=3 mnemonic=\"jmp\" is already defined for select=1 signature=\"R#\"",
              build({{3, "jmp", 1, 0}, {3, "jmp", 1, 1}}));
    EXPECT_EQ("Instruction \"big\" has opcode 64 out of range (0,63)", build({{64, "big", 0}}));
    EXPECT_EQ("Instruction \"ovl\" has overlapping field bit patterns of fields 'ADDR'' and 'REG'",
              build({{6, "ovl", 0, 0, 1}}));
}

TEST(SeqInstructionSet, EmptySetFindsNothing)
{
    const SeqInstructionSet empty;
    EXPECT_FALSE(empty.findForBinary(0));
    EXPECT_EQ(0u, empty.readOpcodeField(~0ULL));
    EXPECT_FALSE(empty.find("stop", ""));
}

TEST(SeqInstructionSetDeathTest, BaseFieldThatDoesNotFit)
{
    const SeqInstructionSet set("small", 1, 0, 1, 0, {{0, "SELECT", 57, 57}, {1, "OPCODE", 63, 58}}, {}, {});
    unsigned long long word = 0;
    EXPECT_EXIT(set.writeOpcodeField(word, 64), testing::ExitedWithCode(1),
                "file='seqprocessor/SeqInstructionSet.cpp', line=.+, function='writeOpcodeField', "
                "error='opcode 64 is out of range 63'");  // SELECT goes through the same check
}
