// Logging: the process-wide, levelled, thread-safe log of the tool.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

/// Levels: a smaller number is more severe; a message is written when its
/// level is at most the current threshold.
class Logging
{
public:
    static constexpr int QUIET = -1000;
    static constexpr int EMERGENCY = 0;
    static constexpr int ALERT = 1;
    static constexpr int CRITICAL = 2;
    static constexpr int ERROR = 3;
    static constexpr int WARNING = 4;
    static constexpr int NOTICE = 5;
    static constexpr int INFO = 6;
    static constexpr int DEBUG = 7;
    static constexpr int VERBOSE = 8;

    using ExtraLogCallback = void (*)(const char* format, va_list args);

    /// Where one thread's log goes instead of the process's log: a library call running inside
    /// a host must not write to the host's standard error, and must not change the level that
    /// other threads see. The line is handed over whole, without its line end.
    struct ThreadSink
    {
        int level = QUIET;
        const char* progName = "tarnasm";
        void (*write)(void* context, int level, std::string_view line) = nullptr;
        void* context = nullptr;
    };

    /// Routes this thread's log to sink until it is reset with null; the sink must outlive that.
    static void setThreadSink(const ThreadSink* sink) { threadSink = sink; }
    static const ThreadSink* threadSinkInUse() { return threadSink; }

    Logging() = delete;

    /// Sets level and program name; with a file name, appends the log to that file.
    static bool open(const char* progName, int logLevel, const char* logFileName);
    static bool reopen();
    static void rename(const char* progName);
    static void flush();
    static int write(int level, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    static std::string getLogFileName();
    static bool setLogLevel(int level);
    /// False (level kept) when the name is not one of the level names.
    static bool setLogLevel(const std::string& name);
    /// -1 for a name that is not a level name.
    static int logLevelFromName(const std::string& name);
    /// Asked before every log site, so it reads the level without taking the lock.
    static int getLogLevel()
    {
        const ThreadSink* sink = threadSink;
        return sink != nullptr ? sink->level : logLevel.load(std::memory_order_relaxed);
    }
    static const char* getLogLevelName();
    static const char* logLevelToName(int level);
    static bool isLogLevelActive(int level);

    /// Receives every written line as well, in three calls: header, message, line end.
    static ExtraLogCallback extra_log_cb;

private:
    static int writeToSink(const ThreadSink& sink, int level, const char* format, va_list args);

    static inline constinit thread_local const ThreadSink* threadSink = nullptr;
    static std::mutex mutex;
    static std::atomic<int> logLevel;
    static const char* progName;
    static FILE* logFile;
    static const char* logFileName;
};

/// Hands a fixed piece of a log line to a callback that takes a va_list.
void call_extra_log_cb(Logging::ExtraLogCallback cb, const char* format, ...);
