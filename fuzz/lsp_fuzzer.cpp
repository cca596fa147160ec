// Fuzz target: any bytes into the language server's framing and dispatch, after an initialize.
// Input that starts with '{' is cut at blank lines into bodies that are framed for it, so that
// the fuzzer reaches the handlers without having to learn the framing first. Every reply must be
// a framed JSON message.
#include "FuzzSupport.h"

#include "Server.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace {

std::string framed(std::string_view body)
{
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

void checkReplies(const std::string& out)
{
    std::size_t at = 0;
    while (at < out.size()) {
        FUZZ_CHECK(out.compare(at, 16, "Content-Length: ") == 0);
        const std::size_t headerEnd = out.find("\r\n\r\n", at);
        FUZZ_CHECK(headerEnd != std::string::npos);
        const std::size_t length = std::stoul(out.substr(at + 16, headerEnd - at - 16));
        FUZZ_CHECK(headerEnd + 4 + length <= out.size());
        const auto message = nlohmann::json::parse(out.substr(headerEnd + 4, length), nullptr, false);
        FUZZ_CHECK(!message.is_discarded() && message.is_object() && message.contains("jsonrpc"));
        at = headerEnd + 4 + length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string stream = framed(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})") +
                         framed(R"({"jsonrpc":"2.0","method":"initialized","params":{}})");
    if (!input.empty() && input.front() == '{') {
        for (std::size_t at = 0; at <= input.size();) {
            const std::size_t end = std::min(input.find("\n\n", at), input.size());
            stream += framed(input.substr(at, end - at));
            at = end + 2;
        }
    } else {
        stream += input;
    }
    std::istringstream in(stream);
    std::ostringstream out;
    std::ostringstream log;
    // A small limit keeps each run fast; the framing treats every limit alike.
    tarnasm::lsp::serve(in, out, log, std::size_t{1} << 20);
    checkReplies(out.str());
    return 0;
}
