// LspClient: the tests' side of the protocol: runs the real tarnasm-lsp over pipes.
#pragma once

#include "common/ChildProcess.h"

#include <nlohmann/json.hpp>

#include <deque>
#include <string>
#include <string_view>

namespace tarnasm::lsp::test {

using Json = nlohmann::json;

class LspClient
{
public:
    /// Starts the server; with initialize, also sends initialize and initialized.
    explicit LspClient(bool initialize = true);
    LspClient(const LspClient&) = delete;
    LspClient& operator=(const LspClient&) = delete;

    /// Writes bytes as they are, framing included.
    void sendRaw(std::string_view bytes);
    /// Writes one framed message.
    void send(const Json& message);
    void notify(const std::string& method, Json params);
    /// Sends a request and returns its response (result or error); notifications that arrive
    /// before it are kept for waitNotification.
    Json request(const std::string& method, Json params = Json::object());
    /// The next response, whatever its id (for requests sent with sendRaw).
    Json response();
    /// The next notification of that method, kept or still to come.
    Json notification(const std::string& method);

    /// Opens a document and returns its published diagnostics.
    Json open(const std::string& uri, const std::string& text);
    /// Closes the server's input and returns its exit status (destroying the client does too).
    int finish();

private:
    /// The next message; fails the test (and returns null) after a timeout.
    Json read();

    testfiles::PipedChild server_;
    int nextId_ = 1;
    std::string buffer_;
    std::deque<Json> kept_;
};

/// params of a request at a position of a document.
Json at(const std::string& uri, int line, int character);

} // namespace tarnasm::lsp::test
