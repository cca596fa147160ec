// ProgramRun: the program run: objects, repetitions, report, .hex file and timings.
#include "ProgramRun.h"

#include <algorithm>
#include <iostream>
#include <new>
#include <stdexcept>

#include "SameFile.h"
#include "SeqAssembler.h"
#include "asmparser/AsmSyntax.h"
#include "seqprocessor/SeqProcessor.h"
#include "seqprocessor/TarnInstructionSet.h"
#include "source/AsmErrorList.h"
#include "support/Logging.h"
#include "support/StringUtil.h"

namespace {

constexpr unsigned int instructionMemoryWords = 16384;
constexpr unsigned int dataMemoryWords = 64;
// Exit statuses are taken modulo 256: a larger count must not wrap to success.
constexpr int largestExitStatus = 255;

void logError(const std::string& text)
{
    if (Logging::getLogLevel() >= Logging::ERROR) {
        Logging::write(Logging::ERROR, "%s", text.c_str());
    }
}

void logReport(const AsmErrorList& errors)
{
    if (Logging::getLogLevel() >= Logging::INFO) {
        Logging::write(Logging::INFO, "%s", errors.toStringFullReport("assembler").c_str());
    }
}

using tarnasm::tools::isSameFile;

int assembleProgram(const RunSettings& settings)
{
    const std::string hexFileName = settings.outputBaseName + ".hex";
    if (settings.writeHexFile && isSameFile(settings.inputFileName, hexFileName)) {
        logError("Refusing to write output file '" + hexFileName + "': it is the input file '" +
                 settings.inputFileName + "'");
        return 1;
    }

    SeqProcessor processor(seq_instr_set(), instructionMemoryWords, dataMemoryWords);
    SeqAssembler sequencer(&processor, AsmSyntax());
    AsmErrorList errors;

    SeqAssembler::printCPU_info();
    int64_t memory = print_mem_usage(0, 0);
    int result = 0;
    for (int n = 1; n <= settings.repetitions; ++n) {
        result = sequencer.assembleFile(settings.inputFileName, errors);
        memory = print_mem_usage(memory, n);
        if (result != 0 && n < settings.repetitions) {
            logReport(errors);
        }
    }
    logReport(errors);

    if (result == 0) {
        if (settings.printDisassembly) {
            sequencer.disassemble(std::cout);
        }
        if (settings.writeHexFile && !sequencer.saveHexOutput(hexFileName)) {
            result = 1;
        }
    }
    sequencer.printTimers("");
    return std::min(result, largestExitStatus);
}

void logAbort(const std::string& fileName, const char* cause) noexcept
{
    try {
        std::string text = "Assembly of '" + fileName + "' aborted: " + cause;
        replaceAll(text, "\n", "\\n");
        logError(text);
    } catch (...) {
        // Even the message could not be built; the status still tells the failure.
    }
}

} // namespace

int64_t print_mem_usage(int64_t, int32_t)
{
    return 0;
}

int runGuarded(const std::string& inputFileName, const std::function<int()>& run) noexcept
{
    // Nothing may leave the run through std::terminate: a read error in the middle of the
    // source or an exhausted heap ends it with one line that names the file.
    try {
        return run();
    } catch (const std::bad_alloc&) {
        logAbort(inputFileName, "out of memory");
    } catch (const std::exception& e) {
        logAbort(inputFileName, e.what());
    } catch (...) {
        logAbort(inputFileName, "unknown exception");
    }
    return 1;
}

int runProgram(const RunSettings& settings)
{
    return runGuarded(settings.inputFileName, [&settings] { return assembleProgram(settings); });
}
