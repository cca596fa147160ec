// CoreCall: the frame around every library call into the core, which keeps the host's process safe.
#pragma once

#include "support/Logging.h"
#include "support/ThrowBug.h"

#include <tarnasm/tarnasm.h>

#include <memory>
#include <utility>

namespace tarnasm::detail {

/// While one lives, the core's log on this thread goes to the host's handler (or nowhere) and
/// an internal fault throws instead of ending the process.
class CoreCall
{
public:
    CoreCall();
    ~CoreCall();
    CoreCall(const CoreCall&) = delete;
    CoreCall& operator=(const CoreCall&) = delete;

    /// What setLogHandler installed.
    struct Handler
    {
        LogHandler handler;
        LogLevel level;
    };

private:
    static void write(void* context, int level, std::string_view line);

    std::shared_ptr<const Handler> handler_;
    Logging::ThreadSink sink_;
    const Logging::ThreadSink* outer_;
    InternalFaultsThrow faultsThrow_;
};

/// Runs work inside a CoreCall; an internal fault comes out as InternalError.
template <class Work>
auto guarded(Work&& work)
{
    CoreCall call;
    try {
        return std::forward<Work>(work)();
    } catch (const InternalFault& fault) {
        throw InternalError(fault.what());
    }
}

} // namespace tarnasm::detail
