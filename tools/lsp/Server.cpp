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

Json capabilities(const ClientCapabilities& client)
{
    return {{"positionEncoding", "utf-16"},
            {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
            {"hoverProvider", true},
            {"definitionProvider", true},
            {"referencesProvider", true},
            // An options object here is only allowed to clients that declare prepareSupport.
            {"renameProvider", client.prepareRename ? Json{{"prepareProvider", true}} : Json(true)},
            {"completionProvider", {{"triggerCharacters", {"@", "$", "."}}}},
            {"signatureHelpProvider", {{"triggerCharacters", {" ", ","}}}},
            {"documentSymbolProvider", true},
            {"declarationProvider", true},
            {"documentHighlightProvider", true},
            {"workspaceSymbolProvider", true},
            {"documentFormattingProvider", true},
            {"documentRangeFormattingProvider", true},
            {"foldingRangeProvider", true},
            {"selectionRangeProvider", true},
            {"inlayHintProvider", true},
            {"semanticTokensProvider", semanticTokensCapability()},
            {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}}};
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
        if (method == "textDocument/semanticTokens/full" || method == "textDocument/semanticTokens/range") {
            send_(semanticTokensReply(id, document(params), params, method.ends_with("/range")));
            return;
        }
        send_(serialized({{"jsonrpc", "2.0"}, {"id", id}, {"result", result(method, params)}}));
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

Json Server::result(const std::string& method, const Json& params)
{
    if (method == "initialize") {
        if (state_ != State::starting) {
            throw ProtocolError(ErrorCode::invalidRequest, "initialize was sent before");
        }
        state_ = State::running;
        client_ = ClientCapabilities::fromInitialize(params);
        return {{"capabilities", capabilities(client_)},
                {"serverInfo", {{"name", "tarnasm-lsp"}, {"version", std::string(tarnasm::version())}}}};
    }
    if (method == "shutdown") {
        state_ = State::shutDown;
        return nullptr;
    }
    if (method == "textDocument/hover") {
        const auto found = hover(document(params), position(params));
        Json result = found ? toJson(*found) : Json(nullptr);
        client_.fitHover(result);
        return result;
    }
    if (method == "textDocument/definition" || method == "textDocument/declaration") {
        const auto found = definition(document(params), position(params));
        return found ? toJson(*found) : Json(nullptr);
    }
    if (method == "textDocument/references") {
        bool includeDeclaration = true;
        if (const auto context = params.find("context"); context != params.end()) {
            if (!context->is_object()) {
                throw ProtocolError(ErrorCode::invalidParams, "'context' must be an object");
            }
            // A value of another type than bool throws, and answers invalidParams.
            includeDeclaration = context->value("includeDeclaration", true);
        }
        return arrayOf(references(document(params), position(params), includeDeclaration));
    }
    if (method == "textDocument/rename") {
        const std::string newName = stringField(params, "newName");
        return toJson(rename(document(params), position(params), newName));
    }
    if (method == "textDocument/completion") {
        Json items = arrayOf(completion(document(params), position(params)));
        client_.fitCompletion(items);
        return {{"isIncomplete", false}, {"items", std::move(items)}};
    }
    if (method == "textDocument/signatureHelp") {
        const auto found = signatureHelp(document(params), position(params));
        return found ? toJson(*found) : Json(nullptr);
    }
    if (method == "textDocument/documentSymbol") {
        return arrayOf(documentSymbols(document(params)));
    }
    if (method == "textDocument/codeAction") {
        return toJson(codeActions(document(params), codeActionParams(params), !client_.preferredFixes));
    }
    if (const auto found = featureResult(method, params)) {
        return *found;
    }
    throw ProtocolError(ErrorCode::methodNotFound, "unknown method: " + method);
}

std::optional<Json> Server::featureResult(const std::string& method, const Json& params)
{
    if (method == "textDocument/documentHighlight") {
        return arrayOf(highlights(document(params), position(params)));
    }
    if (method == "textDocument/prepareRename") {
        const auto found = prepareRename(document(params), position(params));
        return found ? toJson(*found) : Json(nullptr);
    }
    if (method == "workspace/symbol") {
        return arrayOf(workspaceSymbols(documents_.all(), stringField(params, "query")));
    }
    if (method == "textDocument/formatting" || method == "textDocument/rangeFormatting") {
        Document& formatted = document(params);
        const auto options = params.find("options");
        if (options != params.end() && !options->is_object()) {
            throw ProtocolError(ErrorCode::invalidParams, "'options' must be an object");
        }
        if (method == "textDocument/formatting") {
            return arrayOf(formatting(formatted));
        }
        return arrayOf(formatting(formatted, range(params)));
    }
    if (method == "textDocument/foldingRange") {
        return arrayOf(foldingRanges(document(params)));
    }
    if (method == "textDocument/selectionRange") {
        const Document& selected = document(params);
        const auto positions = params.find("positions");
        if (positions == params.end() || !positions->is_array()) {
            throw ProtocolError(ErrorCode::invalidParams, "'positions' must be an array");
        }
        Json result = Json::array();
        for (const Json& at : *positions) {
            result.push_back(selectionRangeJson(selectionRanges(selected, position(Json{{"position", at}}))));
        }
        return result;
    }
    if (method == "textDocument/inlayHint") {
        return arrayOf(inlayHints(document(params), range(params)));
    }
    return std::nullopt;
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
    const std::string uri = documentUri(params);
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
