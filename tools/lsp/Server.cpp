// Server: method dispatch, the lifecycle's rules and the conversion of feature results to JSON.
#include "Server.h"

#include "CodeActions.h"
#include "CodeComplete.h"
#include "Diagnostics.h"
#include "DocumentSymbols.h"
#include "FoldingRanges.h"
#include "Formatting.h"
#include "Hover.h"
#include "InlayHints.h"
#include "SelectionRanges.h"
#include "SemanticTokens.h"
#include "SignatureHelp.h"
#include "Transport.h"
#include "WorkspaceSymbols.h"
#include "XRefs.h"

#include <tarnasm/tarnasm.h>

#include <nlohmann/json.hpp>

namespace tarnasm::lsp {

namespace {

/// Arrays and objects nest at most this deep in a message; the protocol's own go about eight.
constexpr int kMaxDepth = 64;

std::string serialized(const Json& message)
{
    // Messages quote source text; a cut multi-byte character must not stop the reply.
    return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

template <typename T>
Json arrayOf(const std::vector<T>& values)
{
    Json result = Json::array();
    for (const T& value : values) {
        result.push_back(toJson(value));
    }
    return result;
}

int documentVersion(const Json& params)
{
    const Json& document = params.at("textDocument");
    return document.contains("version") && !document["version"].is_null() ? integerField(document, "version") : 0;
}

/// Raised while parsing a message that nests deeper than the server reads; id is the request's,
/// where it came before the deep part.
struct TooDeep
{
    Json id;
};

/// Parses a message, refusing nesting deeper than kMaxDepth as soon as the parser reaches it, so
/// that no copy, comparison or dump (all recursive) ever meets a deeper value.
Json parseMessage(std::string_view body)
{
    Json id;
    bool idNext = false;
    const auto bound = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if ((event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start) &&
            depth >= kMaxDepth) {
            throw TooDeep{std::move(id)};
        }
        if (depth == 1 && event == Json::parse_event_t::key) {
            idNext = parsed == "id";
        } else if (depth == 1 && event == Json::parse_event_t::value && idNext &&
                   (parsed.is_string() || parsed.is_number_integer())) {
            id = parsed;
        }
        return true;
    };
    return Json::parse(body, bound);
}

} // namespace

Server::Server(Send send, std::ostream& log) : send_(std::move(send)), log_(log)
{
}

void Server::handle(std::string_view body)
{
    Json message;
    try {
        message = parseMessage(body);
    } catch (const Json::exception& e) {
        sendError(nullptr, ErrorCode::parseError, std::string("the message is not JSON: ") + e.what());
        return;
    } catch (TooDeep& e) {
        sendError(e.id, ErrorCode::invalidRequest,
                  "the message nests deeper than " + std::to_string(kMaxDepth) + " levels");
        return;
    }
    if (!message.is_object()) {
        sendError(nullptr, ErrorCode::invalidRequest, "a message must be a JSON object");
        return;
    }
    const auto id = message.find("id");
    const bool hasId = id != message.end();
    if (hasId && !id->is_string() && !id->is_number_integer()) {
        sendError(nullptr, ErrorCode::invalidRequest, "a request's id must be an integer or a string");
        return;
    }
    const auto method = message.find("method");
    if (method == message.end()) {
        if (!hasId || !(message.contains("result") || message.contains("error"))) {
            sendError(hasId ? *id : Json(nullptr), ErrorCode::invalidRequest, "a message without a method");
        }
        return; // a response: the server sends no requests, so there is nothing to match
    }
    if (!method->is_string()) {
        sendError(hasId ? *id : Json(nullptr), ErrorCode::invalidRequest, "'method' must be a string");
        return;
    }
    const Json params = message.value("params", Json::object());
    if (hasId) {
        request(*id, method->get<std::string>(), params);
    } else {
        notification(method->get<std::string>(), params);
    }
}

struct Server::Result
{
    Result(Json json) : value(std::move(json)) {}
    /// Text of a JSON value.
    struct Written
    {
        std::string text;
    };
    Result(Written written) : text(std::move(written.text)) {}

    Json value;
    std::string text;
};

struct Server::Method
{
    std::function<Result(Server&, const Json& params)> answer;
    /// The capability's name (none when null) and its value for the client.
    const char* capability = nullptr;
    std::function<Json(const ClientCapabilities&)> advertised;
};

template <typename Params, typename R>
Server::Method Server::bind(R (Server::*handler)(const Params&), const char* capability,
                            std::function<Json(const ClientCapabilities&)> advertised)
{
    if (capability != nullptr && !advertised) {
        advertised = [](const ClientCapabilities&) { return Json(true); };
    }
    // Malformed params throw ProtocolError(invalidParams) while read, before the handler runs.
    return {[handler](Server& server, const Json& json) {
                Params params;
                fromJson(json, params);
                return (server.*handler)(params);
            },
            capability, std::move(advertised)};
}

const Server::Methods& Server::methods()
{
    static const Methods table = {
        {"initialize", bind(&Server::onInitialize)},
        {"shutdown", bind(&Server::onShutdown)},
        {"textDocument/hover", bind(&Server::onHover, "hoverProvider")},
        {"textDocument/definition", bind(&Server::onDefinition, "definitionProvider")},
        {"textDocument/declaration", bind(&Server::onDefinition, "declarationProvider")},
        {"textDocument/references", bind(&Server::onReferences, "referencesProvider")},
        {"textDocument/documentHighlight", bind(&Server::onHighlight, "documentHighlightProvider")},
        {"textDocument/prepareRename", bind(&Server::onPrepareRename)},
        // An options object here is only allowed to clients that declare prepareSupport.
        {"textDocument/rename", bind(&Server::onRename, "renameProvider",
                                     [](const ClientCapabilities& client) {
                                         return client.prepareRename ? Json{{"prepareProvider", true}} : Json(true);
                                     })},
        {"textDocument/completion",
         bind(&Server::onCompletion, "completionProvider",
              [](const ClientCapabilities&) { return Json{{"triggerCharacters", {"@", "$", "."}}}; })},
        {"textDocument/signatureHelp",
         bind(&Server::onSignatureHelp, "signatureHelpProvider",
              [](const ClientCapabilities&) { return Json{{"triggerCharacters", {" ", ","}}}; })},
        {"textDocument/documentSymbol", bind(&Server::onDocumentSymbol, "documentSymbolProvider")},
        {"workspace/symbol", bind(&Server::onWorkspaceSymbol, "workspaceSymbolProvider")},
        {"textDocument/formatting", bind(&Server::onFormatting, "documentFormattingProvider")},
        {"textDocument/rangeFormatting", bind(&Server::onRangeFormatting, "documentRangeFormattingProvider")},
        {"textDocument/foldingRange", bind(&Server::onFoldingRange, "foldingRangeProvider")},
        {"textDocument/selectionRange", bind(&Server::onSelectionRange, "selectionRangeProvider")},
        {"textDocument/inlayHint", bind(&Server::onInlayHint, "inlayHintProvider")},
        {"textDocument/codeAction",
         bind(&Server::onCodeAction, "codeActionProvider",
              [](const ClientCapabilities&) { return Json{{"codeActionKinds", {"quickfix"}}}; })},
        {"textDocument/semanticTokens/full",
         bind(&Server::onSemanticTokens, "semanticTokensProvider",
              [](const ClientCapabilities&) { return semanticTokensCapability(); })},
        {"textDocument/semanticTokens/range", bind(&Server::onSemanticTokensRange)},
    };
    return table;
}

Json Server::capabilities() const
{
    Json result = {{"positionEncoding", "utf-16"},
                   {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}}};
    for (const auto& [name, method] : methods()) {
        if (method.capability != nullptr) {
            result[method.capability] = method.advertised(client_);
        }
    }
    return result;
}

void Server::request(const Json& id, const std::string& method, const Json& params)
{
    if (state_ == State::starting && method != "initialize") {
        sendError(id, ErrorCode::serverNotInitialized, "the server is not initialized yet");
        return;
    }
    if (state_ == State::shutDown) {
        sendError(id, ErrorCode::invalidRequest, "the server is shut down; only exit is accepted");
        return;
    }
    try {
        const auto found = methods().find(method);
        if (found == methods().end()) {
            throw ProtocolError(ErrorCode::methodNotFound, "unknown method: " + method);
        }
        const Result result = found->second.answer(*this, params);
        if (result.text.empty()) {
            send_(serialized({{"jsonrpc", "2.0"}, {"id", id}, {"result", result.value}}));
        } else {
            send_(R"({"jsonrpc":"2.0","id":)" + serialized(id) + R"(,"result":)" + result.text + "}");
        }
    } catch (const ProtocolError& e) {
        sendError(id, e.code(), e.what());
        if (e.code() == ErrorCode::requestFailed) {
            // A refusal for the user (a rename to a name in use) is told as a message as well:
            // Vim's ALE shows only that no result came. After the answer, so it is shown last.
            send_(serialized({{"jsonrpc", "2.0"},
                              {"method", "window/showMessage"},
                              {"params", {{"type", 1}, {"message", e.what()}}}}));
        }
    } catch (const Json::exception& e) {
        sendError(id, ErrorCode::invalidParams, e.what());
    } catch (const std::exception& e) {
        log_ << "tarnasm-lsp: " << method << " failed: " << e.what() << std::endl;
        sendError(id, ErrorCode::internalError, e.what());
    }
}

Server::Result Server::onInitialize(const Json& params)
{
    if (state_ != State::starting) {
        throw ProtocolError(ErrorCode::invalidRequest, "initialize was sent before");
    }
    state_ = State::running;
    client_ = ClientCapabilities::fromInitialize(params);
    return Json{{"capabilities", capabilities()},
                {"serverInfo", {{"name", "tarnasm-lsp"}, {"version", std::string(tarnasm::version())}}}};
}

Server::Result Server::onShutdown(const Json&)
{
    state_ = State::shutDown;
    return Json(nullptr);
}

Server::Result Server::onHover(const TextDocumentPositionParams& params)
{
    const auto found = hover(document(params.uri), params.position);
    return found ? toJson(*found, client_.hoverMarkdown) : Json(nullptr);
}

Server::Result Server::onDefinition(const TextDocumentPositionParams& params)
{
    const auto found = definition(document(params.uri), params.position);
    return found ? toJson(*found) : Json(nullptr);
}

Server::Result Server::onReferences(const ReferenceParams& params)
{
    return arrayOf(references(document(params.uri), params.position, params.includeDeclaration));
}

Server::Result Server::onHighlight(const TextDocumentPositionParams& params)
{
    return arrayOf(highlights(document(params.uri), params.position));
}

Server::Result Server::onPrepareRename(const TextDocumentPositionParams& params)
{
    const auto found = prepareRename(document(params.uri), params.position);
    return found ? toJson(*found) : Json(nullptr);
}

Server::Result Server::onRename(const RenameParams& params)
{
    return toJson(rename(document(params.uri), params.position, params.newName));
}

Server::Result Server::onCompletion(const TextDocumentPositionParams& params)
{
    Json items = Json::array();
    for (const CompletionItem& item : completion(document(params.uri), params.position)) {
        items.push_back(toJson(item, client_.completionMarkdown));
    }
    return Json{{"isIncomplete", false}, {"items", std::move(items)}};
}

Server::Result Server::onSignatureHelp(const TextDocumentPositionParams& params)
{
    const auto found = signatureHelp(document(params.uri), params.position);
    return found ? toJson(*found) : Json(nullptr);
}

Server::Result Server::onDocumentSymbol(const TextDocumentParams& params)
{
    return arrayOf(documentSymbols(document(params.uri)));
}

Server::Result Server::onWorkspaceSymbol(const WorkspaceSymbolParams& params)
{
    return arrayOf(workspaceSymbols(documents_.all(), params.query));
}

Server::Result Server::onFormatting(const FormattingParams& params)
{
    return arrayOf(formatting(document(params.uri)));
}

Server::Result Server::onRangeFormatting(const RangeFormattingParams& params)
{
    return arrayOf(formatting(document(params.uri), params.range));
}

Server::Result Server::onFoldingRange(const TextDocumentParams& params)
{
    return arrayOf(foldingRanges(document(params.uri)));
}

Server::Result Server::onSelectionRange(const SelectionRangeParams& params)
{
    const Document& selected = document(params.uri);
    Json result = Json::array();
    for (const Position at : params.positions) {
        result.push_back(selectionRangeJson(selectionRanges(selected, at)));
    }
    return result;
}

Server::Result Server::onInlayHint(const TextDocumentRangeParams& params)
{
    return arrayOf(inlayHints(document(params.uri), params.range));
}

Server::Result Server::onCodeAction(const CodeActionParams& params)
{
    // A client that cannot tell the preferred fix and asks to fix what it names may apply them all.
    const bool onlyPreferred = !client_.preferredFixes && asksToFixNamed(params);
    return toJson(codeActions(document(params.uri), params, onlyPreferred));
}

Server::Result Server::onSemanticTokens(const TextDocumentParams& params)
{
    return Result::Written{semanticTokensResult(document(params.uri))};
}

Server::Result Server::onSemanticTokensRange(const TextDocumentRangeParams& params)
{
    return Result::Written{semanticTokensResult(document(params.uri), params.range)};
}

void Server::notification(const std::string& method, const Json& params)
{
    if (method == "exit") {
        exited_ = true;
        exitStatus_ = state_ == State::shutDown ? 0 : 1;
        return;
    }
    if (method == "shutdown" && state_ == State::running) {
        // Some clients send shutdown without an id; it still asks for the orderly end.
        state_ = State::shutDown;
        return;
    }
    if (state_ != State::running) {
        return; // before initialize and after shutdown, notifications are dropped
    }
    try {
        if (method == "textDocument/didOpen") {
            const Json& item = params.at("textDocument");
            publishDiagnostics(
                documents_.open(stringField(item, "uri"), stringField(item, "text"), documentVersion(params)));
        } else if (method == "textDocument/didChange") {
            Document& changed = document(params);
            for (const ContentChange& change : contentChanges(params)) {
                changed.applyChange(change);
            }
            changed.setVersion(documentVersion(params));
            publishDiagnostics(changed);
        } else if (method == "textDocument/didClose") {
            const std::string uri = documentUri(params);
            if (const Document* closed = documents_.find(uri)) {
                send_(serialized({{"jsonrpc", "2.0"},
                                  {"method", "textDocument/publishDiagnostics"},
                                  {"params", {{"uri", closed->uri()}, {"diagnostics", Json::array()}}}}));
                documents_.close(uri);
            }
        }
        // initialized, didSave (the diagnostics are current already), $/cancelRequest (every
        // request is answered before the next message is read) and unknown notifications: nothing
        // to do.
    } catch (const std::exception& e) {
        log_ << "tarnasm-lsp: " << method << " ignored: " << e.what() << std::endl;
    }
}

Document& Server::document(const Json& params)
{
    return document(documentUri(params));
}

Document& Server::document(const std::string& uri)
{
    Document* found = documents_.find(uri);
    if (found == nullptr) {
        throw ProtocolError(ErrorCode::invalidParams, "the document is not open: " + uri);
    }
    return *found;
}

void Server::publishDiagnostics(const Document& document)
{
    Json fitted = arrayOf(diagnostics(document));
    client_.fitDiagnostics(fitted);
    send_(serialized({{"jsonrpc", "2.0"},
                      {"method", "textDocument/publishDiagnostics"},
                      {"params",
                       {{"uri", document.uri()},
                        {"version", document.version()},
                        {"diagnostics", fitted}}}}));
}

void Server::sendError(const Json& id, ErrorCode code, const std::string& message)
{
    send_(serialized(
        {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", static_cast<int>(code)}, {"message", message}}}}));
}

int serve(std::istream& in, std::ostream& out, std::ostream& log, std::size_t maxBody)
{
    Transport transport(in, out, maxBody);
    Server server([&transport](std::string_view body) { transport.write(body); }, log);
    for (;;) {
        Transport::Incoming incoming = transport.read();
        switch (incoming.status) {
        case Transport::Status::end:
            return 1;
        case Transport::Status::malformed:
        case Transport::Status::tooLarge:
            log << "tarnasm-lsp: skipped " << incoming.problem << std::endl;
            continue;
        case Transport::Status::message:
            if (!incoming.skipped.empty()) {
                log << "tarnasm-lsp: skipped " << incoming.skipped << std::endl;
            }
            server.handle(incoming.body);
            if (server.exited()) {
                return server.exitStatus();
            }
        }
    }
}

} // namespace tarnasm::lsp
