// LspClient: framing over the server's pipes, read back with a timeout.
#include "LspClient.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnasm::lsp::test {

LspClient::LspClient(bool initialize) : server_(TARNASM_LSP_EXECUTABLE)
{
    if (!server_.started()) {
        ADD_FAILURE() << "cannot start " << TARNASM_LSP_EXECUTABLE;
        return;
    }
    if (initialize) {
        request("initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", Json::object()}});
        notify("initialized", Json::object());
    }
}

void LspClient::sendRaw(std::string_view bytes)
{
    if (!server_.write(bytes)) {
        ADD_FAILURE() << "the server does not read its input";
    }
}

void LspClient::send(const Json& message)
{
    const std::string body = message.dump();
    sendRaw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

void LspClient::notify(const std::string& method, Json params)
{
    send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

Json LspClient::request(const std::string& method, Json params)
{
    const int id = nextId_++;
    send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
    const Json reply = response();
    EXPECT_EQ(reply.value("id", Json()), id) << reply;
    return reply;
}

Json LspClient::response()
{
    for (;;) {
        Json message = read();
        if (message.is_null() || !message.contains("method")) {
            return message;
        }
        kept_.push_back(std::move(message));
    }
}

Json LspClient::notification(const std::string& method)
{
    const auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Json& m) { return m["method"] == method; });
    if (it != kept_.end()) {
        Json found = std::move(*it);
        kept_.erase(it);
        return found;
    }
    for (;;) {
        Json message = read();
        if (message.is_null() || message.value("method", "") == method) {
            return message;
        }
        kept_.push_back(std::move(message));
    }
}

Json LspClient::open(const std::string& uri, const std::string& text)
{
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", uri}, {"languageId", "tarn"}, {"version", 1}, {"text", text}}}});
    return notification("textDocument/publishDiagnostics");
}

Json LspClient::read()
{
    for (;;) {
        const std::size_t headerEnd = buffer_.find("\r\n\r\n");
        if (headerEnd != std::string::npos) {
            const std::size_t length = std::stoul(buffer_.substr(buffer_.find(':') + 1));
            if (buffer_.size() >= headerEnd + 4 + length) {
                Json message = Json::parse(buffer_.substr(headerEnd + 4, length));
                buffer_.erase(0, headerEnd + 4 + length);
                return message;
            }
        }
        const auto outcome = server_.read(buffer_, 60000);
        if (outcome != testfiles::PipedChild::Read::data) {
            ADD_FAILURE() << (outcome == testfiles::PipedChild::Read::timeout ? "no message from the server"
                                                                               : "the server closed its output");
            return nullptr;
        }
    }
}

int LspClient::finish()
{
    return server_.finish();
}

Json at(const std::string& uri, int line, int character)
{
    return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

} // namespace tarnasm::lsp::test
