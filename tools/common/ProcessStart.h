// ProcessStart: a tool's arguments as UTF-8 and its standard streams as bytes, on every platform.
#pragma once

#include <string>
#include <vector>

/// Made first thing in main. On Windows the C runtime's arguments are in the system's code page,
/// which cannot hold every file name, and its standard streams are in text mode, which writes CR LF
/// for LF and stops reading at a byte 26; so this takes the arguments again from the wide command
/// line and switches the three streams to binary. Elsewhere it passes the arguments through.
class ProcessStart
{
public:
    ProcessStart(int argc, char* argv[]);

    ProcessStart(const ProcessStart&) = delete;
    ProcessStart& operator=(const ProcessStart&) = delete;

    int argc() const { return static_cast<int>(arguments_.size()); }
    /// Null-terminated like main's, valid while this object lives.
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
};
