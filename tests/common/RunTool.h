// RunTool: runs a built executable in a folder and measures it, for the tests of hostile input.
#pragma once

#include "common/ChildProcess.h"
#include "common/FileText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testfiles {

struct Outcome
{
    int status = -1;
    std::string log;
    long peakKb = 0;
};

/// Runs the executable in dir with the arguments; standard error is kept, standard output dropped.
/// The child's peak memory starts from this process's size when forked: big inputs must be gone.
inline Outcome runTool(const std::string& executable, const std::filesystem::path& dir,
                       const std::vector<std::string>& args)
{
    const std::filesystem::path logPath = dir / "stderr.log";
    const ChildResult child = runChild(executable, args, dir, "/dev/null", logPath);
    EXPECT_TRUE(child.ran) << child.problem;
    Outcome outcome{child.ran ? child.status : -1, readFile(logPath) + child.problem, child.peakKb};
    std::filesystem::remove(logPath);
    return outcome;
}

} // namespace testfiles
