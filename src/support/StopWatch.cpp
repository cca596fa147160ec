// StopWatch: the one instantiation the tool uses, compiled once.
#include "support/StopWatch.h"

template class StopWatch<std::chrono::steady_clock>;
template class StopWatchSet<StopWatch<std::chrono::steady_clock>>;
