// Server: the JSON-RPC dispatcher: lifecycle, document sync and one handler per feature.
#pragma once

#include "ClientCapabilities.h"
#include "DocumentStore.h"
#include "Protocol.h"

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace tarnasm::lsp {

class Server
{
public:
    /// Receives each outgoing message body.
    using Send = std::function<void(std::string_view body)>;

    /// Problems the client cannot be told of (a bad notification) go to log, one line each.
    Server(Send send, std::ostream& log);

    /// Handles one incoming message body: answers a request (with its result or an error),
    /// acts on a notification. Never throws except std::bad_alloc.
    void handle(std::string_view body);

    /// True once the client has sent exit.
    bool exited() const noexcept { return exited_; }
    /// 0 after shutdown and exit; 1 for exit without shutdown.
    int exitStatus() const noexcept { return exitStatus_; }

private:
    enum class State
    {
        starting,
        running,
        shutDown,
    };

    void request(const Json& id, const std::string& method, const Json& params);
    void notification(const std::string& method, const Json& params);
    Json result(const std::string& method, const Json& params);
    /// The answers of the editing features beyond the core ones; null for another method.
    std::optional<Json> featureResult(const std::string& method, const Json& params);
    void sendError(const Json& id, ErrorCode code, const std::string& message);
    void publishDiagnostics(const Document& document);
    Document& document(const Json& params);

    Send send_;
    std::ostream& log_;
    State state_ = State::starting;
    bool exited_ = false;
    int exitStatus_ = 1;
    DocumentStore documents_;
    ClientCapabilities client_;
};

/// Serves one client over the streams until exit or the end of the input; returns the exit
/// status (1 when the input ends without exit).
int serve(std::istream& in, std::ostream& out, std::ostream& log, std::size_t maxBody);

} // namespace tarnasm::lsp
