// Logging: level table, time-stamped line layout and the optional callback copy.
#include "support/Logging.h"

#include <chrono>
#include <ctime>

std::mutex Logging::mutex;
std::atomic<int> Logging::logLevel{Logging::DEBUG};
const char* Logging::progName = "prog";
FILE* Logging::logFile = stderr;
const char* Logging::logFileName = nullptr;
Logging::ExtraLogCallback Logging::extra_log_cb = nullptr;

namespace {

const char* const levelMarkers[] = {
    "*******", "****** ", "*****  ", "****   ", "***    ",
    "**     ", "+      ", ".      ", "       ",
};

const char* markerFor(int level)
{
    if (level >= Logging::EMERGENCY && level <= Logging::VERBOSE) {
        return levelMarkers[level];
    }
    return "?      ";
}

/// "Dec 05 09:51:47.082": the local time with milliseconds.
void timeStamp(char* stamp, size_t size)
{
    const auto now = std::chrono::system_clock::now();
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    const int millis = static_cast<int>(sinceEpoch.count() % 1000);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    // std::localtime shares one result among all threads; each platform has its own safe call.
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    // Not "%T": the Windows C runtime does not know it.
    const size_t used = std::strftime(stamp, size - 8, "%b %d %H:%M:%S", &local);
    std::snprintf(stamp + used, size - used, ".%03d", millis);
}

} // namespace

int Logging::writeToSink(const ThreadSink& sink, int level, const char* format, va_list args)
{
    if (level > sink.level || sink.write == nullptr) {
        return 0;
    }
    char stamp[100];
    timeStamp(stamp, sizeof stamp);
    std::string line = std::string(markerFor(level)) + "  " + stamp + " " + sink.progName + ": ";
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        const size_t prefix = line.size();
        line.resize(prefix + static_cast<size_t>(length) + 1);
        std::vsnprintf(line.data() + prefix, static_cast<size_t>(length) + 1, format, args);
        line.resize(prefix + static_cast<size_t>(length));
    }
    sink.write(sink.context, level, line);
    return 0;
}

void call_extra_log_cb(Logging::ExtraLogCallback cb, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    cb(format, args);
    va_end(args);
}

bool Logging::open(const char* newProgName, int newLogLevel, const char* newLogFileName)
{
    std::lock_guard<std::mutex> lock(mutex);
    logLevel = newLogLevel;
    progName = newProgName;
    logFileName = newLogFileName;
    if (newLogFileName == nullptr) {
        return false;
    }
    logFile = std::fopen(newLogFileName, "a");
    if (logFile == nullptr) {
        std::fprintf(stderr, "Could not open log file '%s'", newLogFileName);
        logFileName = nullptr;
        return false;
    }
    return true;
}

bool Logging::reopen()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (logFileName == nullptr) {
        return false;
    }
    if (logFile != nullptr) {
        std::fclose(logFile);
    }
    logFile = std::fopen(logFileName, "a");
    if (logFile == nullptr) {
        std::fprintf(stderr, "Could not reopen log file '%s'", logFileName);
        logFileName = nullptr;
        return false;
    }
    return true;
}

void Logging::rename(const char* newProgName)
{
    std::lock_guard<std::mutex> lock(mutex);
    progName = newProgName;
}

void Logging::flush()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (logFile != nullptr) {
        std::fflush(logFile);
    }
}

int Logging::write(int level, const char* format, ...)
{
    if (const ThreadSink* sink = threadSink) {
        va_list args;
        va_start(args, format);
        const int result = writeToSink(*sink, level, format, args);
        va_end(args);
        return result;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (level > logLevel) {
        return 0;
    }
    char stamp[100];
    timeStamp(stamp, sizeof stamp);
    const char* marker = markerFor(level);

    if (logFile != nullptr) {
        std::fprintf(logFile, "%s  %s %s: ", marker, stamp, progName);
        va_list args;
        va_start(args, format);
        std::vfprintf(logFile, format, args);
        va_end(args);
        std::fputs("\n", logFile);
        std::fflush(logFile);
    }
    thread_local bool recursive = false;
    if (extra_log_cb != nullptr && !recursive) {
        recursive = true;
        call_extra_log_cb(extra_log_cb, "%s  %s %s: ", marker, stamp, progName);
        va_list args;
        va_start(args, format);
        extra_log_cb(format, args);
        va_end(args);
        call_extra_log_cb(extra_log_cb, "\n");
        recursive = false;
    }
    return 0;
}

std::string Logging::getLogFileName()
{
    std::lock_guard<std::mutex> lock(mutex);
    return logFileName != nullptr ? std::string(logFileName) : std::string();
}

bool Logging::setLogLevel(int level)
{
    std::lock_guard<std::mutex> lock(mutex);
    logLevel = level;
    return true;
}

bool Logging::setLogLevel(const std::string& name)
{
    const int level = logLevelFromName(name);
    if (level == -1) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex);
    logLevel = level;
    return true;
}

int Logging::logLevelFromName(const std::string& name)
{
    struct NamedLevel {
        const char* shortName;
        const char* longName;
        int level;
    };
    static const NamedLevel names[] = {
        {"i", "info", INFO},         {"d", "debug", DEBUG},      {"v", "verbose", VERBOSE},
        {"n", "notice", NOTICE},     {"w", "warning", WARNING},  {"e", "error", ERROR},
        {"c", "critical", CRITICAL}, {"a", "alert", ALERT},      {"m", "emergency", EMERGENCY},
        {"q", "quiet", QUIET},
    };
    for (const auto& n : names) {
        if (name == n.shortName || name == n.longName) {
            return n.level;
        }
    }
    return -1;
}

const char* Logging::getLogLevelName()
{
    return logLevelToName(getLogLevel());
}

const char* Logging::logLevelToName(int level)
{
    switch (level) {
    case QUIET: return "quiet";
    case EMERGENCY: return "emergency";
    case ALERT: return "alert";
    case CRITICAL: return "critical";
    case ERROR: return "error";
    case WARNING: return "warning";
    case NOTICE: return "notice";
    case INFO: return "info";
    case DEBUG: return "debug";
    case VERBOSE: return "verbose";
    default: return "unknown";
    }
}

bool Logging::isLogLevelActive(int level)
{
    std::lock_guard<std::mutex> lock(mutex);
    return logLevel >= level;
}
