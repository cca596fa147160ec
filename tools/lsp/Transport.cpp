// Transport: Content-Length framing, with bounded header lines and bodies.
#include "Transport.h"

#include <algorithm>
#include <cctype>

namespace tarnasm::lsp {

namespace {

constexpr std::size_t kMaxHeaderLine = 1024;

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

/// Where the line's last "Content-Length:" header starts (any case, blanks before the colon),
/// or npos.
std::size_t lastContentLength(std::string_view line)
{
    constexpr std::string_view name = "content-length";
    for (std::size_t at = line.size() >= name.size() ? line.size() - name.size() + 1 : 0; at-- > 0;) {
        if (equalsIgnoringCase(line.substr(at, name.size()), name) &&
            trimmed(line.substr(at + name.size())).starts_with(':')) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace

Transport::Transport(std::istream& in, std::ostream& out, std::size_t maxBody)
    : in_(in), out_(out), maxBody_(maxBody)
{
}

bool Transport::readHeaderLine(std::string& line, bool& tooLong)
{
    line.clear();
    tooLong = false;
    std::streambuf* buffer = in_.rdbuf();
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in_.setstate(std::ios::eofbit);
            return false;
        }
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return true;
        }
        if (line.size() == 2 * kMaxHeaderLine) {
            line.erase(0, kMaxHeaderLine);
            tooLong = true;
        }
        line.push_back(static_cast<char>(c));
        tooLong = tooLong || line.size() > kMaxHeaderLine;
    }
}

Transport::Incoming Transport::read()
{
    Incoming incoming;
    std::string line;
    bool tooLong = false;
    bool any = false;
    bool lengthSeen = false;
    std::size_t length = 0;
    for (;;) {
        if (!readHeaderLine(line, tooLong)) {
            return incoming;
        }
        if (line.empty() && !tooLong) {
            if (!any) {
                continue; // blank lines between messages
            }
            break;
        }
        any = true;
        // A message sent without a Content-Length leaves its body unread, glued to the next
        // header: that header, after stray bytes or lines that were no header, starts afresh.
        const std::size_t start = lastContentLength(line);
        if (start != std::string::npos && (start > 0 || tooLong || !incoming.problem.empty())) {
            incoming.skipped = "bytes that are no message before a Content-Length header";
            incoming.problem.clear();
            lengthSeen = false;
            line.erase(0, start);
            tooLong = false;
        }
        const std::size_t colon = line.find(':');
        if (tooLong || colon == std::string::npos) {
            incoming.problem = "a header line that is not 'Name: value'";
            continue;
        }
        if (!equalsIgnoringCase(trimmed(std::string_view(line).substr(0, colon)), "Content-Length")) {
            continue; // Content-Type and others carry nothing the server needs
        }
        const std::string_view value = trimmed(std::string_view(line).substr(colon + 1));
        bool valid = !value.empty() && value.size() <= 18;
        std::size_t parsed = 0;
        for (char c : value) {
            valid = valid && c >= '0' && c <= '9';
            parsed = parsed * 10 + static_cast<std::size_t>(c - '0');
        }
        if (!valid) {
            incoming.problem = "a Content-Length that is not a decimal number: '" + std::string(value) + "'";
            continue;
        }
        lengthSeen = true;
        length = parsed;
    }
    if (!incoming.problem.empty() || !lengthSeen) {
        incoming.status = Status::malformed;
        if (incoming.problem.empty()) {
            incoming.problem = "a header without Content-Length";
        }
        return incoming;
    }
    if (length > maxBody_) {
        in_.ignore(static_cast<std::streamsize>(length));
        if (static_cast<std::size_t>(in_.gcount()) < length) {
            return {};
        }
        incoming.status = Status::tooLarge;
        incoming.problem = "a message of " + std::to_string(length) + " bytes, more than the limit of " +
                           std::to_string(maxBody_);
        return incoming;
    }
    // Grow with the data that arrives rather than trusting the header's length up front.
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    while (incoming.body.size() < length) {
        const std::size_t have = incoming.body.size();
        const std::size_t take = std::min(kChunk, length - have);
        incoming.body.resize(have + take);
        in_.read(incoming.body.data() + have, static_cast<std::streamsize>(take));
        if (static_cast<std::size_t>(in_.gcount()) < take) {
            return {};
        }
    }
    incoming.status = Status::message;
    return incoming;
}

void Transport::write(std::string_view body)
{
    out_ << "Content-Length: " << body.size() << "\r\n\r\n" << body;
    out_.flush();
}

} // namespace tarnasm::lsp
