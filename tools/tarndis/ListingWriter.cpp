// ListingWriter: source lines matched with addresses by the line numbers the assembler keeps.
#include "ListingWriter.h"

#include <cstdio>
#include <ostream>

namespace tarndis {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
/// "0000 0123456789abcdef  ": address, word and two blanks before the source text.
constexpr std::size_t kPrefixWidth = 4 + 1 + 16 + 2;

} // namespace

ListingWriter::ListingWriter(const tarnasm::Program& program, std::string_view source)
    : program_(program), lines_(splitLines(source))
{
}

std::vector<std::string_view> ListingWriter::splitLines(std::string_view source)
{
    if (source.starts_with(kByteOrderMark)) {
        source.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < source.size()) {
        const std::size_t end = std::min(source.find_first_of("\r\n", begin), source.size());
        lines.push_back(source.substr(begin, end - begin));
        begin = end + 1;
        // The other line-end character right after the first makes one line end with it.
        if (begin < source.size() && (source[begin] == '\r' || source[begin] == '\n') && source[begin] != source[end]) {
            ++begin;
        }
    }
    return lines;
}

void ListingWriter::write(std::ostream& out) const
{
    // Per line (numbered from 1): the instruction's address, or the label's, or none.
    enum class Holds { nothing, label, instruction };
    std::vector<Holds> holds(lines_.size() + 1, Holds::nothing);
    std::vector<std::uint32_t> address(lines_.size() + 1, 0);
    for (const tarnasm::Label& label : program_.labels()) {
        if (label.line > 0 && static_cast<std::size_t>(label.line) < holds.size()) {
            holds[label.line] = Holds::label;
            address[label.line] = label.address;
        }
    }
    const auto sourceLines = program_.sourceLines();
    for (std::size_t a = 0; a < sourceLines.size(); ++a) {
        const int line = sourceLines[a];
        if (line > 0 && static_cast<std::size_t>(line) < holds.size() && a < program_.words().size()) {
            holds[line] = Holds::instruction;
            address[line] = static_cast<std::uint32_t>(a);
        }
    }

    const auto words = program_.words();
    std::string prefix;
    for (std::size_t n = 1; n <= lines_.size(); ++n) {
        char text[kPrefixWidth + 8];
        switch (holds[n]) {
        case Holds::instruction:
            std::snprintf(text, sizeof text, "%04x %016llx  ", address[n],
                          static_cast<unsigned long long>(words[address[n]]));
            prefix = text;
            break;
        case Holds::label:
            std::snprintf(text, sizeof text, "%04x", address[n]);
            prefix = text;
            prefix.resize(kPrefixWidth, ' ');
            break;
        case Holds::nothing:
            prefix.assign(kPrefixWidth, ' ');
            break;
        }
        const std::string_view source = lines_[n - 1];
        if (source.empty()) {
            prefix.erase(prefix.find_last_not_of(' ') + 1);
        }
        out << prefix << source << '\n';
    }
}

} // namespace tarndis
