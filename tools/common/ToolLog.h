// ToolLog: the process log as every tool sets it up and writes to it.
#pragma once

#include <string>

namespace tarnasm::tools {

/// Opens the process log at level info under the name the tool was started as, which it returns
/// (fallback when the argument vector holds no name). Made before the command line is read, so
/// that its faults are logged under that name.
const char* openToolLog(int argc, const char* const argv[], const char* fallback);

/// Writes text at level when the log's threshold lets it through.
void logAt(int level, const std::string& text);

} // namespace tarnasm::tools
