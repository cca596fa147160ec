// ProgramRun: builds the processor and assembler and assembles one file as the command line asks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

/// What the command line decided; handed to the program run.
struct RunSettings
{
    std::string inputFileName;
    std::string outputBaseName;
    int repetitions = 1;
    bool printDisassembly = false;
    bool writeHexFile = true;
};

/// Assembles the input as often as asked, logs the report, writes the .hex
/// file on success and returns the exit status: 0, the error count (at most
/// 255, so that no count reads as success), or 1 when the run could not go on.
/// Never throws.
int runProgram(const RunSettings& settings);

/// Returns what run returns; anything it throws becomes one error line naming the file, and
/// status 1. runProgram runs the assembly through it; tests hand it failures of their own.
int runGuarded(const std::string& inputFileName, const std::function<int()>& run) noexcept;

/// Hook between repetitions for watching memory use; measures nothing and returns 0.
int64_t print_mem_usage(int64_t previous, int32_t repetition);
