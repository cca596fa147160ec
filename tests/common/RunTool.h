// RunTool: runs a built executable in a folder and measures it, for the tests of hostile input.
#pragma once

#include "common/FileText.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(executable.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        const int out = open("/dev/null", O_WRONLY);
        const int err = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(dir.c_str()) != 0 || out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    rusage usage{};
    EXPECT_EQ(pid, wait4(pid, &status, 0, &usage));
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    outcome.peakKb = usage.ru_maxrss;
    outcome.log = readFile(logPath);
    std::filesystem::remove(logPath);
    return outcome;
}

} // namespace testfiles
