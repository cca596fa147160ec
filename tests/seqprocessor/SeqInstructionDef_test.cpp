// Tests of instruction definitions: an argument beyond the list is an internal fault.
// Signatures and the order of variations are checked end to end.
#include "seqprocessor/SeqInstructionDef.h"

#include <gtest/gtest.h>

TEST(SeqInstructionDefDeathTest, ArgumentBeyondTheListIsInternalFault)
{
    EXPECT_EXIT(SeqInstructionDef(1, "stop", 0).getArg(0), testing::ExitedWithCode(1),
                "file='seqprocessor/SeqInstructionDef.cpp', line=.+, function='getArg', error='Argument number 0 "
                "of instruction stop is too large for 0 arguments'");
}
