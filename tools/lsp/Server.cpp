// Server: method dispatch, the lifecycle's rules and the conversion of feature results to JSON.
#include "Server.h"

#include "CodeActions.h"
#include "CodeComplete.h"
#include "Diagnostics.h"
#include "DocumentSymbols.h"
#include "Hover.h"
#include "SemanticTokens.h"
#include "SignatureHelp.h"
#include "Transport.h"
#include "XRefs.h"

#include <tarnasm/tarnasm.h>

#include <nlohmann/json.hpp>

namespace tarnasm::lsp {

namespace {

std::string serialized(const Json& message)
{
    // Messages quote source text; a cut multi-byte character must not stop the reply.
    return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json capabilities()
{
    return {{"positionEncoding", "utf-16"},
            {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
            {"hoverProvider", true},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"renameProvider", true},
            {"completionProvider", {{"triggerCharacters", {"@", "$", "."}}}},
            {"signatureHelpProvider", {{"triggerCharacters", {" ", ","}}}},
            {"documentSymbolProvider", true},
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

} // namespace

Server::Server(Send send, std::ostream& log) : send_(std::move(send)), log_(log)
{
}

void Server::handle(std::string_view body)
{
    Json message;
    try {
        message = Json::parse(body);
    } catch (const Json::exception& e) {
        sendError(nullptr, ErrorCode::parseError, std::string("the message is not JSON: ") + e.what());
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
        return {{"capabilities", capabilities()},
                {"serverInfo", {{"name", "tarnasm-lsp"}, {"version", std::string(tarnasm::version())}}}};
    }
    if (method == "shutdown") {
        state_ = State::shutDown;
        return nullptr;
    }
    if (method == "textDocument/hover") {
        const auto found = hover(document(params), position(params));
        return found ? toJson(*found) : Json(nullptr);
    }
    if (method == "textDocument/definition") {
        const auto found = definition(document(params), position(params));
        return found ? toJson(*found) : Json(nullptr);
    }
    if (method == "textDocument/references") {
        bool includeDeclaration = true;
        if (params.contains("context") && params["context"].is_object()) {
            includeDeclaration = params["context"].value("includeDeclaration", true);
        }
        return arrayOf(references(document(params), position(params), includeDeclaration));
    }
    if (method == "textDocument/rename") {
        const std::string newName = stringField(params, "newName");
        return toJson(rename(document(params), position(params), newName));
    }
    if (method == "textDocument/completion") {
        return {{"isIncomplete", false}, {"items", arrayOf(completion(document(params), position(params)))}};
    }
    if (method == "textDocument/signatureHelp") {
        const auto found = signatureHelp(document(params), position(params));
        return found ? toJson(*found) : Json(nullptr);
    }
    if (method == "textDocument/documentSymbol") {
        return arrayOf(documentSymbols(document(params)));
    }
    if (method == "textDocument/codeAction") {
        return codeActionsResult(document(params), params);
    }
    throw ProtocolError(ErrorCode::methodNotFound, "unknown method: " + method);
}

void Server::notification(const std::string& method, const Json& params)
{
    if (method == "exit") {
        exited_ = true;
        exitStatus_ = state_ == State::shutDown ? 0 : 1;
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
    send_(serialized({{"jsonrpc", "2.0"},
                      {"method", "textDocument/publishDiagnostics"},
                      {"params",
                       {{"uri", document.uri()},
                        {"version", document.version()},
                        {"diagnostics", arrayOf(diagnostics(document))}}}}));
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
            server.handle(incoming.body);
            if (server.exited()) {
                return server.exitStatus();
            }
        }
    }
}

} // namespace tarnasm::lsp
