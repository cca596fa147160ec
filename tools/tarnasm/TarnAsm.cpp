// TarnAsm: reads the command line into the run settings and hands them to the program run.
#include "TarnAsm.h"

#include "ProgramRun.h"
#include "ToolLog.h"
#include "support/Logging.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iostream>

const char* programName = "tarnasm";

namespace {

constexpr int kStatusUsage = 1;
constexpr int kStatusBadCommandLine = 2;

/// The message reads prefix, value, suffix; the usage text follows it.
int rejectCommandLine(const char* prefix, const char* value = "", const char* suffix = "")
{
    if (Logging::getLogLevel() >= Logging::ERROR) {
        Logging::write(Logging::ERROR, "%s%s%s", prefix, value, suffix);
    }
    help();
    return kStatusBadCommandLine;
}

/// A repetition count is the whole text in decimal, from 0 up to the largest int; the empty
/// text counts as 0. Negative counts (" -5") and counts that would wrap are refused.
bool readRepetitions(const char* text, int& repetitions)
{
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || value < 0 || value > INT_MAX) {
        return false;
    }
    repetitions = static_cast<int>(value);
    return true;
}

} // namespace

void help()
{
    std::cout << "Usage: " << programName << "[-h] [-l loglevel] [-s repetitions] [-o outfilebase] [inputfile]"
              << "\nAssemble tarnasm program into binary."
              << "\nArguments:"
              << "\n\tinputfile: input file containing tarn assembly."
              << "\nOptions:"
              << "\n\t-h                 : print help"
              << "\n\t-l loglevel        : debug/d, info/i, notice/n, warning/w"
              << ", error/e, critical/c, alert/a or emergency/m."
              << "\n\t                     Default: info"
              << "\n\t-s repeat_assembly : repeat assemble of program given number of times for stress testing."
              << "\n\t-o outfilebase     : output filename(s) without extension."
              << "\n\t                     Default: input file base (without directory, without extension)"
              << std::endl;
}

void sigUsr1Handler(int)
{
    if (Logging::getLogLevel() >= Logging::WARNING) {
        Logging::write(Logging::WARNING, "%s", "sigUsr1Handler not implemented");
    }
}

std::string outputBaseName(const std::string& inputFileName)
{
    const size_t slash = inputFileName.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = inputFileName.rfind('.');
    // A dot in a directory name is no extension.
    const size_t end = dot == std::string::npos || dot < start ? inputFileName.size() : dot;
    return inputFileName.substr(start, end - start);
}

int tarnasmMain(int argc, char* argv[])
{
    programName = tarnasm::tools::openToolLog(argc, argv, "tarnasm");
    if (argc <= 0) {
        help();
        return kStatusUsage;
    }

    RunSettings settings;
    int nonOptionCount = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.empty() || arg[0] != '-') {
            if (++nonOptionCount == 2) {
                return rejectCommandLine("Too many non-option arguments");
            }
            settings.inputFileName = arg;
            continue;
        }
        if (arg == "-h") {
            help();
            return kStatusUsage;
        }
        if (arg != "-l" && arg != "-o" && arg != "-s") {
            if (Logging::getLogLevel() >= Logging::ERROR) {
                Logging::write(Logging::ERROR, "Unsupported option: '%s'", arg.c_str());
            }
            continue;
        }
        if (i + 1 == argc || argv[i + 1][0] == '-') {
            return rejectCommandLine("Option ", arg.c_str(), " requires argument");
        }
        const char* value = argv[++i];
        if (arg == "-l") {
            if (!Logging::setLogLevel(value)) {
                return rejectCommandLine("Unsupported log level: ", value);
            }
        } else if (arg == "-o") {
            settings.outputBaseName = value;
        } else if (!readRepetitions(value, settings.repetitions)) {
            return rejectCommandLine("Error in number of repeated assembly (stress testing): ", value);
        }
    }
    if (nonOptionCount != 1) {
        help();
        return kStatusBadCommandLine;
    }
    if (settings.outputBaseName.empty()) {
        settings.outputBaseName = outputBaseName(settings.inputFileName);
    }
    return runProgram(settings);
}
