// Tests of the internal-fault report.
#include "support/ThrowBug.h"

#include "support/Logging.h"

#include <gtest/gtest.h>

TEST(ThrowBug, LogsOneEmergencyLineAndExitsWithOne)
{
    Logging::open("prog", Logging::INFO, nullptr);
    // The build passes paths relative to the source tree; an absolute one is cut back to it.
    // Death-test patterns keep to what GoogleTest's own matcher on Windows reads (no classes or
    // counts); the time stamp's layout is the logging tests' business.
    EXPECT_EXIT(throwBug("/home/ci/tarnasm/src/seqprocessor/SeqInstructionSet.cpp", 42, "validateFields",
                         "opcodeField pointer not set"),
                testing::ExitedWithCode(1),
                "^\\*\\*\\*\\*\\*\\*\\*  .+ prog: THROW_BUG: "
                "file='seqprocessor/SeqInstructionSet\\.cpp', line=42, function='validateFields', "
                "error='opcodeField pointer not set'\n$");
    EXPECT_EXIT(THROW_BUG("processLine", "value " << 7 << " of " << 'x'), testing::ExitedWithCode(1),
                "function='processLine', error='value 7 of x'");
    Logging::setLogLevel(Logging::QUIET);
    EXPECT_EXIT(THROW_BUG("f", "silent"), testing::ExitedWithCode(1), "^$");
    Logging::setLogLevel(Logging::DEBUG);
}
