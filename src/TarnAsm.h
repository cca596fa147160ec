// TarnAsm: the command line and the program run of the tarnasm tool.
#pragma once

/// Runs the tool as the process would and returns its exit status.
int tarnasmMain(int argc, char* argv[]);
