// TarnDis: the run of tarndis: input read and checked, text written, problems logged.
#include "TarnDis.h"

#include "CommandLine.h"
#include "DisassemblyWriter.h"
#include "ExitStatus.h"
#include "ListingWriter.h"
#include "support/Logging.h"
#include "support/ReplaceFile.h"

#include <tarnasm/tarnasm.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <new>
#include <string>

namespace tarndis {

namespace {

void logAt(int level, const std::string& text)
{
    if (Logging::getLogLevel() >= level) {
        Logging::write(level, "%s", text.c_str());
    }
}

/// Enough for every .hex file the instruction memory can hold, in CR LF lines, and one more
/// line: any longer file is malformed within these bytes, so that no file can fill the memory.
constexpr std::size_t kHexReadLimit = (tarnasm::kInstructionMemoryWords + 1) * 18 + 1;

/// Up to limit bytes of the file; false when it cannot be opened or read.
bool readFile(const std::string& name, std::size_t limit, std::string& text)
{
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) {
        return false;
    }
    std::ifstream file(name, std::ios::in | std::ios::binary);
    if (!file) {
        return false;
    }
    text.clear();
    char buffer[65536];
    while (text.size() < limit && file.read(buffer, static_cast<std::streamsize>(sizeof buffer)).gcount() > 0) {
        text.append(buffer, std::min(static_cast<std::size_t>(file.gcount()), limit - text.size()));
    }
    return !file.bad();
}

bool isSameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

/// To standard output, or into the output file through a temporary file renamed over it.
bool writeOutput(const Settings& settings, const std::function<void(std::ostream&)>& write)
{
    if (settings.outputFileName.empty()) {
        write(std::cout);
        std::cout.flush();
        if (!std::cout) {
            logAt(Logging::ERROR, "Could not write to standard output");
            return false;
        }
        return true;
    }
    const ReplaceFileResult result = replaceFile(settings.outputFileName, [&write](std::ostream& file) {
        write(file);
        return static_cast<bool>(file);
    });
    if (result == ReplaceFileResult::cannotOpen) {
        logAt(Logging::ERROR, "Could not open output file '" + settings.outputFileName + "' for writing");
    } else if (result == ReplaceFileResult::cannotWrite) {
        logAt(Logging::ERROR, "Could not write output file '" + settings.outputFileName + "'");
    }
    return result == ReplaceFileResult::done;
}

/// "line 3, column 0: " is the library's own location; the log gives it as file:line:column.
std::string hexProblem(const tarnasm::HexFormatError& error)
{
    const std::string what = error.what();
    const std::string location =
        "line " + std::to_string(error.line()) + ", column " + std::to_string(error.column()) + ": ";
    return what.starts_with(location) ? what.substr(location.size()) : what;
}

int disassembleFile(const Settings& settings)
{
    const std::string& name = settings.inputFileName;
    std::string text;
    if (!readFile(name, kHexReadLimit, text)) {
        logAt(Logging::ERROR, "Could not open input file '" + name + "' for reading");
        return kStatusCannotFinish;
    }
    std::vector<std::uint64_t> words;
    try {
        words = tarnasm::readHex(text);
    } catch (const tarnasm::HexFormatError& e) {
        logAt(Logging::ERROR, name + ":" + std::to_string(e.line()) + ":" + std::to_string(e.column()) + ": " +
                                  hexProblem(e));
        return kStatusCannotFinish;
    }
    std::string().swap(text);

    const DisassemblyWriter writer(words);
    for (const tarnasm::UnknownWord& unknown : writer.unknownWords()) {
        char word[20];
        std::snprintf(word, sizeof word, "%016llx", static_cast<unsigned long long>(unknown.decoded.word));
        // A word's line in the .hex file follows from its address: the format has no other lines.
        logAt(Logging::ERROR, name + ":" + std::to_string(unknown.address + 1) + ":0: word " + word +
                                  " is not an instruction: " + DisassemblyWriter::describe(unknown.decoded));
    }
    if (!writeOutput(settings, [&](std::ostream& out) { writer.write(out, name); })) {
        return kStatusCannotFinish;
    }
    return problemStatus(writer.unknownWords().size());
}

int listFile(const Settings& settings)
{
    const std::string& name = settings.inputFileName;
    const tarnasm::Program program = tarnasm::assembleFile(name);
    // A source that could not be read to its end gives tarnasm's one-line message, which
    // tarnasm logs as an error; every other report is logged as information.
    const bool aborted = program.report().starts_with("Assembly of '");
    logAt(aborted ? Logging::ERROR : Logging::INFO, program.report());
    if (!program.ok()) {
        return problemStatus(program.errorCount());
    }
    std::string source;
    if (!readFile(name, std::string::npos, source)) {
        logAt(Logging::ERROR, "Could not open input file '" + name + "' for reading");
        return kStatusCannotFinish;
    }
    const ListingWriter writer(program, source);
    return writeOutput(settings, [&writer](std::ostream& out) { writer.write(out); }) ? kStatusSuccess
                                                                                       : kStatusCannotFinish;
}

void logAbort(const std::string& name, const char* cause) noexcept
{
    try {
        logAt(Logging::ERROR, "Run on '" + name + "' aborted: " + cause);
    } catch (...) {
        // Not even the message could be built; the status still tells.
    }
}

} // namespace

int tarndisMain(int argc, const char* const argv[])
{
    const char* programName = argc > 0 && argv != nullptr && argv[0] != nullptr ? argv[0] : "tarndis";
    Logging::setLogLevel("info");
    Logging::open(programName, Logging::getLogLevel(), nullptr);
    std::string inputName;
    try {
        const CommandLine commandLine = readCommandLine(argc, argv);
        if (commandLine.exitStatus) {
            return *commandLine.exitStatus;
        }
        const Settings& settings = commandLine.settings;
        inputName = settings.inputFileName;
        if (!settings.outputFileName.empty() && isSameFile(settings.inputFileName, settings.outputFileName)) {
            logAt(Logging::ERROR, "Refusing to write output file '" + settings.outputFileName +
                                      "': it is the input file '" + settings.inputFileName + "'");
            return kStatusCannotFinish;
        }
        std::ios::sync_with_stdio(false);
        return settings.mode == Mode::listing ? listFile(settings) : disassembleFile(settings);
    } catch (const std::bad_alloc&) {
        logAbort(inputName, "out of memory");
    } catch (const std::exception& e) {
        logAbort(inputName, e.what());
    } catch (...) {
        logAbort(inputName, "unknown exception");
    }
    return kStatusCannotFinish;
}

} // namespace tarndis
