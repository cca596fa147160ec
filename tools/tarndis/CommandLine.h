// CommandLine: the options of tarndis, its usage text and the settings of one run.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace tarndis {

enum class Mode
{
    disassemble, ///< a .hex file to assembly text
    listing,     ///< a source to its listing
};

/// What the command line asks a run to do.
struct Settings
{
    Mode mode = Mode::disassemble;
    std::string inputFileName;
    /// Empty: standard output.
    std::string outputFileName;
};

/// The settings, or the exit status when the command line already decided the run (help, the
/// version, or a faulty command line: its cause is logged and the usage printed).
struct CommandLine
{
    Settings settings;
    std::optional<int> exitStatus;
};

/// Reads the arguments after the program name; sets the log level that -l asks for.
CommandLine readCommandLine(int argc, const char* const argv[]);

/// Writes the usage text; programName is how the tool was called.
void printUsage(std::ostream& out, const char* programName);

} // namespace tarndis
