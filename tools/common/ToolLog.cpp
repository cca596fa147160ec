// ToolLog: the log opened under the tool's own name, and the level check before each write.
#include "ToolLog.h"

#include "support/Logging.h"

namespace tarnasm::tools {

const char* openToolLog(int argc, const char* const argv[], const char* fallback)
{
    const char* name = argc > 0 && argv != nullptr && argv[0] != nullptr ? argv[0] : fallback;
    Logging::setLogLevel("info");
    Logging::open(name, Logging::getLogLevel(), nullptr);
    return name;
}

void logAt(int level, const std::string& text)
{
    if (Logging::getLogLevel() >= level) {
        Logging::write(level, "%s", text.c_str());
    }
}

} // namespace tarnasm::tools
