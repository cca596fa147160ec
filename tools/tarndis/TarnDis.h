// TarnDis: one run of tarndis, from the command line to the exit status.
#pragma once

namespace tarndis {

/// Reads the command line, disassembles or lists the input, logs every problem and returns
/// the exit status: 0; 1 for help or a run that could not finish; 2 for a faulty command
/// line; else the number of problems, at most 255. Never throws.
int tarndisMain(int argc, const char* const argv[]);

} // namespace tarndis
