// TarnAsm: the command line of the tarnasm tool: options, usage text and output base name.
#pragma once

#include <string>

/// The name the tool was invoked under, as printed in the usage text and every log line;
/// "tarnasm" when the argument vector is empty.
extern const char* programName;

/// Reads the command line, then runs the assembly; returns the process's exit status.
int tarnasmMain(int argc, char* argv[]);

/// Writes the usage text to standard output.
void help();

/// Not installed for any signal; only logs that it does nothing.
void sigUsr1Handler(int signalNumber);

/// The input file name without its directory and without its last extension.
std::string outputBaseName(const std::string& inputFileName);
