// Transport: messages framed by Content-Length headers over a pair of streams; knows no JSON.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace tarnasm::lsp {

class Transport
{
public:
    /// The largest message body read; a larger one is skipped without being stored.
    static constexpr std::size_t kDefaultMaxBody = std::size_t{64} << 20;

    Transport(std::istream& in, std::ostream& out, std::size_t maxBody = kDefaultMaxBody);

    enum class Status
    {
        message,   ///< body holds a message
        malformed, ///< a header without a valid Content-Length; skipped up to its blank line
        tooLarge,  ///< a body above the limit; skipped
        end,       ///< the input ended (a message cut short counts as the end)
    };
    struct Incoming
    {
        Status status = Status::end;
        std::string body;
        /// What was wrong, for the log.
        std::string problem;
        /// With a message: what was passed over before its header, for the log.
        std::string skipped;
    };

    /// Reads the next message.
    Incoming read();
    /// Writes one message and flushes it.
    void write(std::string_view body);

private:
    /// One header line without its line end; false at the end of the input. Of a line longer
    /// than the limit only its end is kept (where a glued-on header would be), marked by tooLong.
    bool readHeaderLine(std::string& line, bool& tooLong);

    std::istream& in_;
    std::ostream& out_;
    std::size_t maxBody_;
};

} // namespace tarnasm::lsp
