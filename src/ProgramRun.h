// ProgramRun: builds the processor and assembler and assembles one file as the command line asks.
#pragma once

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
/// file on success and returns the exit status.
int runProgram(const RunSettings& settings);
