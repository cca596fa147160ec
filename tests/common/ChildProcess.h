// ChildProcess: runs a tool with its output in files, or talks to one over pipes; POSIX and Windows.
#pragma once

#include "support/Utf8Path.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testfiles {

struct ChildResult
{
    bool ran = false;      // false: the tool could not be started; problem says why
    int status = -1;       // the exit status, when it exited
    long peakKb = 0;       // the child's peak resident memory (POSIX; from this process's size when forked)
    std::string problem;   // how it failed to start, or the signal that ended it
};

/// Runs tool with args (UTF-8) in cwd, standard input empty, standard output and standard error
/// into the files outPath and errPath (files, not pipes: a large report could dead-lock a pipe).
ChildResult runChild(const std::filesystem::path& tool, const std::vector<std::string>& args,
                     const std::filesystem::path& cwd, const std::filesystem::path& outPath,
                     const std::filesystem::path& errPath);

/// A child whose standard input and output are pipes from and to this process; its standard error
/// is this process's. Finished (input closed, waited for) when destroyed.
class PipedChild
{
public:
    explicit PipedChild(const std::filesystem::path& tool);
    ~PipedChild();
    PipedChild(const PipedChild&) = delete;
    PipedChild& operator=(const PipedChild&) = delete;

    bool started() const;
    /// False when the child no longer reads.
    bool write(std::string_view bytes);

    enum class Read { data, timeout, closed };
    /// Appends what the child has written, waiting up to timeoutMs for the first byte.
    Read read(std::string& into, int timeoutMs);
    /// Closes the child's input, waits for its end and returns its exit status (128 + the signal
    /// when a signal ended it).
    int finish();

private:
#if defined(_WIN32)
    void* process_ = nullptr;
    void* toChild_ = nullptr;
    void* fromChild_ = nullptr;
#else
    int pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
#endif
};

} // namespace testfiles
