// LspClient: a child process with pipes, and framing read back with a timeout.
#include "LspClient.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnasm::lsp::test {

namespace {

constexpr int kTimeoutMs = 60000;

} // namespace

LspClient::LspClient(bool initialize, const std::string& executable)
{
    std::signal(SIGPIPE, SIG_IGN); // a server that died must fail the test, not end it
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) {
        ADD_FAILURE() << "pipe failed";
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toServer_ = in[1];
    fromServer_ = out[0];
    if (initialize) {
        request("initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", Json::object()}});
        notify("initialized", Json::object());
    }
}

LspClient::~LspClient()
{
    if (pid_ > 0) {
        finish();
    }
}

void LspClient::sendRaw(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(toServer_, bytes.data(), bytes.size());
        if (written <= 0) {
            ADD_FAILURE() << "the server does not read its input";
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
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
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if ((*it)["method"] == method) {
            Json found = std::move(*it);
            kept_.erase(it);
            return found;
        }
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
        pollfd ready{fromServer_, POLLIN, 0};
        char chunk[65536];
        if (poll(&ready, 1, kTimeoutMs) <= 0) {
            ADD_FAILURE() << "no message from the server";
            return nullptr;
        }
        const ssize_t got = ::read(fromServer_, chunk, sizeof chunk);
        if (got <= 0) {
            ADD_FAILURE() << "the server closed its output";
            return nullptr;
        }
        buffer_.append(chunk, static_cast<std::size_t>(got));
    }
}

int LspClient::finish()
{
    close(toServer_);
    int status = 0;
    waitpid(pid_, &status, 0);
    close(fromServer_);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

Json at(const std::string& uri, int line, int character)
{
    return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

} // namespace tarnasm::lsp::test
