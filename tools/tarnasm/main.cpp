// main: wires the process's arguments to the tool's run function.
#include "TarnAsm.h"
#include "ProcessStart.h"

int main(int argc, char* argv[])
{
    ProcessStart process(argc, argv);
    return tarnasmMain(process.argc(), process.argv());
}
