// ChildProcess: runs a tool to its end with its output streams in files, on POSIX and on Windows.
#pragma once

#include "support/Utf8Path.h"

#include <filesystem>
#include <string>
#include <vector>

namespace testfiles {

struct ChildResult
{
    bool ran = false;      // false: the tool could not be started; problem says why
    int status = -1;       // the exit status, when it exited
    std::string problem;   // how it failed to start, or the signal that ended it
};

/// Runs tool with args (UTF-8) in cwd, standard input empty, standard output and standard error
/// into the files outPath and errPath (files, not pipes: a large report could dead-lock a pipe).
ChildResult runChild(const std::filesystem::path& tool, const std::vector<std::string>& args,
                     const std::filesystem::path& cwd, const std::filesystem::path& outPath,
                     const std::filesystem::path& errPath);

} // namespace testfiles
