// Tests of the log: thresholds, level names, the time stamp and log files.
#include "support/Logging.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

void captureCall(const char* format, va_list args)
{
    char buffer[1024];
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    calls.emplace_back(buffer);
}

const char* const stampPattern = "[A-Z][a-z][a-z] [0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9]\\.[0-9]{3}";

} // namespace

// Markers, level names on the command line, unknown ones and quiet are checked end to end.
TEST(Logging, LayoutThresholdsAndNames)
{
    calls.clear();
    EXPECT_FALSE(Logging::open("prog", Logging::DEBUG, nullptr));  // no file: level and name still set
    Logging::extra_log_cb = captureCall;
    Logging::write(Logging::VERBOSE, "%s", "hidden at debug");
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(Logging::setLogLevel("v"));
    Logging::write(Logging::VERBOSE, "value %d of %s", 3, "x");
    ASSERT_EQ(3u, calls.size());
    EXPECT_TRUE(std::regex_match(calls[0], std::regex(std::string(".{7}  ") + stampPattern + " prog: "))) << calls[0];
    EXPECT_EQ("value 3 of x", calls[1]);
    EXPECT_EQ("\n", calls[2]);
    EXPECT_FALSE(Logging::setLogLevel("Info"));
    EXPECT_EQ(Logging::VERBOSE, Logging::getLogLevel());
    EXPECT_STREQ("unknown", Logging::logLevelToName(9));
    EXPECT_FALSE(Logging::reopen());
    EXPECT_EQ("", Logging::getLogFileName());
    Logging::extra_log_cb = nullptr;
    Logging::setLogLevel(Logging::DEBUG);
}

// Log files replace standard error for the whole process, so they are tried in a child.
TEST(LoggingFile, AppendsReopensAndReportsFailures)
{
    const std::string path = testing::TempDir() + "tarnasm_logging_test.log";
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            Logging::open("prog", Logging::INFO, path.c_str());
            Logging::write(Logging::INFO, "first %d", 1);
            Logging::reopen();
            Logging::write(Logging::DEBUG, "%s", "below the level");
            Logging::write(Logging::ERROR, "%s", "second");
            const bool opened = Logging::open("prog", Logging::INFO, "/nonexistent-dir/x.log");
            Logging::write(Logging::ERROR, "%s", "lost");
            std::exit(!opened && Logging::getLogFileName().empty() ? 0 : 3);
        },
        testing::ExitedWithCode(0), "^Could not open log file '/nonexistent-dir/x\\.log'$");
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_TRUE(std::regex_match(text.str(), std::regex(std::string("\\+        ") + stampPattern + " prog: first 1\n" +
                                                        "\\*{4}     " + stampPattern + " prog: second\n")))
        << text.str();
    std::remove(path.c_str());
}
