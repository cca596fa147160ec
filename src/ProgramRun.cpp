// ProgramRun: placeholder until the assembler lands; a valid command line must not pretend success.
#include "ProgramRun.h"

#include "support/Logging.h"

int runProgram(const RunSettings& settings)
{
    if (Logging::getLogLevel() >= Logging::ERROR) {
        Logging::write(Logging::ERROR, "Cannot assemble '%s': the assembler is not built yet",
                       settings.inputFileName.c_str());
    }
    return 1;
}
