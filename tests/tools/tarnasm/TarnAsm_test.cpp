// Tests of the command line parts that the end-to-end cases cannot reach.
#include "TarnAsm.h"

#include <gtest/gtest.h>

TEST(TarnAsm, OutputBaseNameDropsDirectoryAndLastExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"prog.tasm", "prog"}, {"prog", "prog"},         {"dir.old/prog", "prog"}, {"a/b.c.asm", "b.c"},
        {".hidden", ""},       {"dir/.hidden", ""},      {"/abs/x.y/z.s", "z"},    {"dir/", ""},
        {"trailing.", "trailing"}, {"", ""},             {"./p.tasm", "p"},        {"../q", "q"},
    };
    for (const auto& [input, base] : cases) {
        EXPECT_EQ(base, outputBaseName(input)) << input;
    }
}

// The kernel gives an executed program at least an empty name, so only an in-process call can
// hand over an empty argument vector.
TEST(TarnAsm, EmptyArgumentVectorShowsUsageUnderFixedName)
{
    char* argv[] = {nullptr};
    testing::internal::CaptureStdout();
    const int status = tarnasmMain(0, argv);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(1, status);
    EXPECT_EQ(0u, out.rfind("Usage: tarnasm[-h] [-l loglevel]", 0)) << out;
    EXPECT_STREQ("tarnasm", programName);
}
