// main: wires the process's arguments to the run of tarndis.
#include "TarnDis.h"

int main(int argc, char* argv[])
{
    return tarndis::tarndisMain(argc, argv);
}
