// ProgramBuilder: runs the core's assembler on one source and turns its results into a Program.
#pragma once

#include <tarnasm/tarnasm.h>

#include <string>

class AsmErrorList;
class AsmParser;
class SourceReader;

namespace tarnasm {

class ProgramBuilder
{
public:
    /// Assembles the reader's source inside a CoreCall; name is what Program::name gives.
    /// everyError: go on encoding after a failed address assignment, as check does.
    static Program build(SourceReader& reader, std::string name, bool everyError = false);

private:
    static void takeDiagnostics(Program& program, const AsmErrorList& errors);
    static void takeNames(Program& program, const AsmParser& parser);
    /// A source that could not be read to its end: the command line's one-line message.
    static void takeAbort(Program& program, const std::string& cause);
};

} // namespace tarnasm
