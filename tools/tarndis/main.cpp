// main: wires the process's arguments to the run of tarndis.
#include "TarnDis.h"
#include "ProcessStart.h"

int main(int argc, char* argv[])
{
    ProcessStart process(argc, argv);
    return tarndis::tarndisMain(process.argc(), process.argv());
}
