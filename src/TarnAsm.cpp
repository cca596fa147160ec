// TarnAsm: command line and program run (placeholder until the command line lands).
#include "TarnAsm.h"

#include "support/Logging.h"

int tarnasmMain(int, char*[])
{
    Logging::write(Logging::ERROR, "%s", "tarnasm: not yet able to assemble");
    return 1;
}
