// main: wires the process's arguments to the tool's run function.
#include "TarnAsm.h"

int main(int argc, char* argv[])
{
    return tarnasmMain(argc, argv);
}
