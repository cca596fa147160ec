// TarnDis: the run of tarndis: input read and checked, text written, problems logged.
#include "TarnDis.h"

#include "CommandLine.h"
#include "DisassemblyWriter.h"
#include "ExitStatus.h"
#include "HexStream.h"
#include "ListingWriter.h"
#include "support/InputFile.h"
#include "support/Logging.h"
#include "support/ReplaceFile.h"
#include "support/Utf8Path.h"

#include <tarnasm/tarnasm.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <new>
#include <string>
#include <system_error>

namespace tarndis {

namespace {

void logAt(int level, const std::string& text)
{
    if (Logging::getLogLevel() >= level) {
        Logging::write(level, "%s", text.c_str());
    }
}

/// The file opened for reading; false for a directory or a file that cannot be opened.
bool openInput(const std::string& name, InputFile& file)
{
    std::error_code ec;
    const std::filesystem::path path = pathFromUtf8(name);
    if (std::filesystem::is_directory(path, ec)) {
        return false;
    }
    file.open(path, std::ios::in | std::ios::binary);
    return static_cast<bool>(file);
}

/// The whole file; false when it cannot be opened or read.
bool readFile(const std::string& name, std::string& text)
{
    InputFile file;
    if (!openInput(name, file)) {
        return false;
    }
    // Not through operator<< with the stream buffer: it would swallow a read error.
    text.clear();
    char piece[8192];
    while (file.read(piece, sizeof piece) || file.gcount() > 0) {
        text.append(piece, static_cast<size_t>(file.gcount()));
    }
    return !file.bad();
}

bool isSameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(pathFromUtf8(a), pathFromUtf8(b), ec) && !ec;
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
    std::error_code reason;
    const ReplaceFileResult result = replaceFile(
        pathFromUtf8(settings.outputFileName),
        [&write](std::ostream& file) {
            write(file);
            return static_cast<bool>(file);
        },
        reason);
    if (result == ReplaceFileResult::cannotOpen) {
        logAt(Logging::ERROR,
              "Could not open output file '" + settings.outputFileName + "' for writing: " + reason.message());
    } else if (result == ReplaceFileResult::cannotWrite) {
        logAt(Logging::ERROR, "Could not write output file '" + settings.outputFileName + "': " + reason.message());
    }
    return result == ReplaceFileResult::done;
}

int disassembleFile(const Settings& settings)
{
    const std::string& name = settings.inputFileName;
    InputFile file;
    if (!openInput(name, file)) {
        logAt(Logging::ERROR, "Could not open input file '" + name + "' for reading");
        return kStatusCannotFinish;
    }
    std::vector<std::uint64_t> words;
    try {
        words = readHexStream(file);
    } catch (const tarnasm::HexFormatError& e) {
        logAt(Logging::ERROR,
              name + ":" + std::to_string(e.line()) + ":" + std::to_string(e.column()) + ": " + e.problem());
        return kStatusCannotFinish;
    } catch (const std::ios_base::failure&) {
        logAt(Logging::ERROR, "Could not read input file '" + name + "'");
        return kStatusCannotFinish;
    }

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
    if (!readFile(name, source)) {
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
