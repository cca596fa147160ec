// Transport: framing of good and malformed input; the reading goes on after each fault.
#include "Transport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarnasm::lsp {
namespace {

TEST(Transport, ReadsEachMessageAndSkipsMalformedOnes)
{
    std::istringstream in("Content-Length: 2\r\n\r\n{}"
                          "content-length:3\nContent-Type: x\n\nabc"
                          "Content-Length: 1x\r\n\r\n"
                          "Content-Type: y\r\n\r\n"
                          "Content-Length: 12345678901234567890\r\n\r\n" +
                          std::string(2000, 'h') + ": x\r\n\r\n" +
                          "Content-Length: 11\r\n\r\n" + std::string(11, 'z') +
                          "Content-Length: 2\r\n\r\nok"
                          "Content-Length: 5\r\n\r\nab");
    std::ostringstream out;
    Transport transport(in, out, 10);
    using S = Transport::Status;
    const std::pair<S, std::string> expected[] = {
        {S::message, "{}"}, {S::message, "abc"}, {S::malformed, ""}, {S::malformed, ""}, {S::malformed, ""},
        {S::malformed, ""}, {S::tooLarge, ""},  {S::message, "ok"},  {S::end, ""},       {S::end, ""},
    };
    for (const auto& [status, body] : expected) {
        const auto incoming = transport.read();
        EXPECT_EQ(incoming.status, status) << body;
        EXPECT_EQ(incoming.body, body);
        EXPECT_EQ(incoming.problem.empty(), status == S::message || status == S::end);
    }
    transport.write("{\"a\":1}");
    EXPECT_EQ(out.str(), "Content-Length: 7\r\n\r\n{\"a\":1}");
}

TEST(Transport, FindsTheNextHeaderAfterABodyThatHadNone)
{
    // Bodies of headers without Content-Length, glued to the next header or on lines of their
    // own, long ones too: the next Content-Length starts a message again.
    std::istringstream in("Content-Type: x\r\n\r\n{\"id\":1}Content-Length: 2\r\n\r\nab"
                          "Content-Type: x\r\n\r\n" + std::string(5000, '{') + "content-length : 2\r\n\r\ncd"
                          "Content-Type: x\r\n\r\n{\n\"a\": 1}\r\nContent-Length: 2\r\n\r\nef"
                          "Content-Length: 1\r\nno header\r\n\r\nX");
    std::ostringstream out;
    Transport transport(in, out);
    using S = Transport::Status;
    for (const std::string body : {"ab", "cd", "ef"}) {
        EXPECT_EQ(transport.read().status, S::malformed);
        const auto incoming = transport.read();
        EXPECT_EQ(incoming.status, S::message);
        EXPECT_EQ(incoming.body, body);
        EXPECT_FALSE(incoming.skipped.empty());
    }
    // A line that is no header after the Content-Length still spoils the message.
    EXPECT_EQ(transport.read().status, S::malformed);
}

} // namespace
} // namespace tarnasm::lsp
