// Server: the JSON-RPC dispatcher: lifecycle, document sync and one handler per feature.
#pragma once

#include "ClientCapabilities.h"
#include "DocumentStore.h"
#include "Protocol.h"

#include <cstddef>
#include <functional>
#include <map>
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

    /// A request's result: a JSON value, or its text written already (for large results).
    struct Result;
    /// A request method: its handler, reading the params as its own type, and the server
    /// capability it advertises.
    struct Method;
    using Methods = std::map<std::string, Method, std::less<>>;

    /// Every request the server answers: a new one is an entry of this table and a handler.
    static const Methods& methods();
    template <typename Params, typename R>
    static Method bind(R (Server::*handler)(const Params&), const char* capability = nullptr,
                       std::function<Json(const ClientCapabilities&)> advertised = nullptr);

    Result onInitialize(const Json& params);
    Result onShutdown(const Json& params);
    Result onHover(const TextDocumentPositionParams& params);
    Result onDefinition(const TextDocumentPositionParams& params);
    Result onReferences(const ReferenceParams& params);
    Result onHighlight(const TextDocumentPositionParams& params);
    Result onPrepareRename(const TextDocumentPositionParams& params);
    Result onRename(const RenameParams& params);
    Result onCompletion(const TextDocumentPositionParams& params);
    Result onSignatureHelp(const TextDocumentPositionParams& params);
    Result onDocumentSymbol(const TextDocumentParams& params);
    Result onWorkspaceSymbol(const WorkspaceSymbolParams& params);
    Result onFormatting(const FormattingParams& params);
    Result onRangeFormatting(const RangeFormattingParams& params);
    Result onFoldingRange(const TextDocumentParams& params);
    Result onSelectionRange(const SelectionRangeParams& params);
    Result onInlayHint(const TextDocumentRangeParams& params);
    Result onCodeAction(const CodeActionParams& params);
    Result onSemanticTokens(const TextDocumentParams& params);
    Result onSemanticTokensRange(const TextDocumentRangeParams& params);

    void request(const Json& id, const std::string& method, const Json& params);
    void notification(const std::string& method, const Json& params);
    Json capabilities() const;
    void sendError(const Json& id, ErrorCode code, const std::string& message);
    void publishDiagnostics(const Document& document);
    Document& document(const std::string& uri);
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
