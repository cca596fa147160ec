// CoreCall: the host's log handler and the per-thread routing of the core's log to it.
#include "CoreCall.h"

#include <atomic>
#include <mutex>

namespace tarnasm::detail {

namespace {

std::mutex handlerMutex;
// Replaced whole by setLogHandler; a call keeps the one it started with.
std::shared_ptr<const CoreCall::Handler> currentHandler;
// Until a host sets a handler, a call need not take the lock: decoding a word costs little more.
std::atomic<bool> handlerEverSet{false};

} // namespace

CoreCall::CoreCall() : outer_(Logging::threadSinkInUse())
{
    if (handlerEverSet.load(std::memory_order_acquire)) {
        std::lock_guard lock(handlerMutex);
        handler_ = currentHandler;
    }
    if (handler_) {
        sink_.level = static_cast<int>(handler_->level);
        sink_.write = &CoreCall::write;
        sink_.context = this;
    }
    Logging::setThreadSink(&sink_);
}

CoreCall::~CoreCall()
{
    Logging::setThreadSink(outer_);
}

void CoreCall::write(void* context, int level, std::string_view line)
{
    static_cast<CoreCall*>(context)->handler_->handler(static_cast<LogLevel>(level), line);
}

} // namespace tarnasm::detail

namespace tarnasm {

void setLogHandler(LogHandler handler, LogLevel level)
{
    std::shared_ptr<const detail::CoreCall::Handler> replacement;
    if (handler && level != LogLevel::quiet) {
        replacement = std::make_shared<const detail::CoreCall::Handler>(
            detail::CoreCall::Handler{std::move(handler), level});
    }
    std::lock_guard lock(detail::handlerMutex);
    detail::currentHandler = std::move(replacement);
    detail::handlerEverSet.store(true, std::memory_order_release);
}

} // namespace tarnasm
