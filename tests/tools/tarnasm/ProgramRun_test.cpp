// Tests of the program run: failures that escape the assembly end it with one line and status 1.
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "support/Logging.h"

TEST(ProgramRun, EscapingFailuresBecomeOneErrorLine)
{
    Logging::setLogLevel(Logging::ERROR);
    struct Case { std::function<int()> run; const char* logged; };
    const Case cases[] = {
        {[] { return 7; }, ""},
        {[]() -> int { throw std::runtime_error("Reading from stream p.tasm failed\nLine read so far:\nad"); },
         "Assembly of 'p.tasm' aborted: Reading from stream p.tasm failed\\nLine read so far:\\nad\n"},
        {[]() -> int { throw std::bad_alloc(); }, "Assembly of 'p.tasm' aborted: out of memory\n"},
        {[]() -> int { throw 42; }, "Assembly of 'p.tasm' aborted: unknown exception\n"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        const int status = runGuarded("p.tasm", c.run);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, *c.logged ? 1 : 7);
        const size_t message = err.find(": Assembly");
        EXPECT_EQ(message == std::string::npos ? err : err.substr(message + 2), c.logged);
    }
}
