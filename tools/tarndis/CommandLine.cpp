// CommandLine: options read in tarnasm's manner, except that an unknown one is refused.
#include "CommandLine.h"

#include "ExitStatus.h"
#include "support/Logging.h"

#include <tarnasm/tarnasm.h>

#include <iostream>
#include <string_view>

namespace tarndis {

namespace {

CommandLine rejected(const char* programName, const std::string& cause)
{
    if (!cause.empty() && Logging::getLogLevel() >= Logging::ERROR) {
        Logging::write(Logging::ERROR, "%s", cause.c_str());
    }
    printUsage(std::cout, programName);
    return {{}, kStatusBadCommandLine};
}

} // namespace

void printUsage(std::ostream& out, const char* programName)
{
    out << "Usage: " << programName
        << " [-h] [--version] [-l loglevel] [-S|--listing] [-o outfile] inputfile"
        << "\nDisassemble a tarn .hex file into assembly text, or list a tarn assembly source."
        << "\nArguments:"
        << "\n\tinputfile: the .hex file to disassemble, or with -S the tarn assembly source to list."
        << "\nOptions:"
        << "\n\t-h                 : print help"
        << "\n\t--version          : print the version"
        << "\n\t-l loglevel        : debug/d, info/i, notice/n, warning/w"
        << ", error/e, critical/c, alert/a or emergency/m."
        << "\n\t                     Default: info"
        << "\n\t-S, --listing      : assemble the source and list every line beside its address and word."
        << "\n\t-o outfile         : write the text into outfile instead of standard output."
        << std::endl;
}

CommandLine readCommandLine(int argc, const char* const argv[])
{
    const char* programName = argc > 0 && argv[0] != nullptr ? argv[0] : "tarndis";
    if (argc <= 0) {
        // An empty argument vector, as tarnasm takes it.
        printUsage(std::cout, programName);
        return {{}, kStatusUsage};
    }
    CommandLine result;
    Settings& settings = result.settings;
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.empty() || arg[0] != '-') {
            if (++inputs == 2) {
                return rejected(programName, "Too many non-option arguments");
            }
            settings.inputFileName = arg;
        } else if (arg == "-h") {
            printUsage(std::cout, programName);
            return {{}, kStatusUsage};
        } else if (arg == "--version") {
            std::cout << "tarndis " << tarnasm::version() << std::endl;
            return {{}, kStatusSuccess};
        } else if (arg == "-S" || arg == "--listing") {
            settings.mode = Mode::listing;
        } else if (arg == "-l" || arg == "-o") {
            // As in tarnasm, a value that starts with '-' is taken for a forgotten value.
            if (i + 1 == argc || argv[i + 1][0] == '-') {
                return rejected(programName, "Option " + std::string(arg) + " requires argument");
            }
            const char* value = argv[++i];
            if (arg == "-o") {
                settings.outputFileName = value;
            } else if (!Logging::setLogLevel(value)) {
                return rejected(programName, "Unsupported log level: " + std::string(value));
            }
        } else {
            // Skipping it, as tarnasm does, would read "tarndis --listng prog.tasm" as a .hex.
            return rejected(programName, "Unsupported option: '" + std::string(arg) + "'");
        }
    }
    if (inputs == 0) {
        return rejected(programName, "");
    }
    return result;
}

} // namespace tarndis
