// Document: line index, UTF-8 to UTF-16 conversion and incremental edits of one document.
#include "Document.h"

#include <algorithm>

namespace tarnasm::lsp {

namespace {

/// Bytes of the UTF-8 sequence a byte starts (1 for a stray continuation or invalid byte, so
/// that every byte is passed over once).
std::size_t sequenceLength(unsigned char lead) noexcept
{
    if (lead >= 0xF0 && lead <= 0xF7) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead <= 0xEF ? 3 : 1;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

} // namespace

Document::Document(std::string uri, std::string name, std::string text, int version)
    : uri_(std::move(uri)), name_(std::move(name)), text_(std::move(text)), version_(version)
{
    index();
}

void Document::index()
{
    lines_.clear();
    hasCarriageReturn_ = false;
    const char* data = text_.data();
    const std::size_t size = text_.size();
    std::size_t begin = 0;
    std::size_t i = 0;
    while (i < size) {
        // memchr-like scan for either line end; most bytes are neither.
        const char c = data[i];
        if (c == '\n') {
            lines_.push_back({begin, i});
            begin = ++i;
        } else if (c == '\r') {
            hasCarriageReturn_ = true;
            lines_.push_back({begin, i});
            i += (i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
            begin = i;
        } else {
            ++i;
        }
    }
    lines_.push_back({begin, size});
}

std::string_view Document::line(std::size_t index) const noexcept
{
    if (index >= lines_.size()) {
        return {};
    }
    return std::string_view(text_).substr(lines_[index].begin, lines_[index].end - lines_[index].begin);
}

std::size_t Document::byteColumn(std::size_t lineIndex, int character) const noexcept
{
    const std::string_view text = line(std::min(lineIndex, lines_.size() - 1));
    std::size_t byte = 0;
    int units = 0;
    while (byte < text.size()) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[byte]));
        const int width = length == 4 ? 2 : 1;
        if (units + width > character) {
            break;
        }
        units += width;
        byte = std::min(text.size(), byte + length);
    }
    return byte;
}

int Document::character(std::size_t lineIndex, std::size_t byteColumn) const noexcept
{
    const std::string_view text = line(lineIndex);
    const std::size_t end = std::min(byteColumn, text.size());
    int units = 0;
    for (std::size_t byte = 0; byte < end;) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[byte]));
        units += length == 4 ? 2 : 1;
        byte += length;
    }
    return units;
}

Range Document::range(std::size_t lineIndex, std::size_t column, std::size_t length) const noexcept
{
    const int line = static_cast<int>(std::min(lineIndex, lines_.size() - 1));
    return {{line, character(lineIndex, column)}, {line, character(lineIndex, column + length)}};
}

std::size_t Document::offset(Position position) const noexcept
{
    if (static_cast<std::size_t>(position.line) >= lines_.size()) {
        return text_.size();
    }
    return lines_[position.line].begin + byteColumn(position.line, position.character);
}

void Document::applyChange(const ContentChange& change)
{
    if (!change.range) {
        text_ = change.text;
    } else {
        std::size_t begin = offset(change.range->start);
        std::size_t end = offset(change.range->end);
        if (end < begin) {
            std::swap(begin, end);
        }
        text_.replace(begin, end - begin, change.text);
    }
    index();
    program_.reset();
}

const Program& Document::program() const
{
    if (!program_) {
        std::string joined;
        std::string_view source = text_;
        if (hasCarriageReturn_) {
            // The assembler reads LF CR as one line end, the protocol as two: give it the
            // protocol's lines, ended by LF, so that both count the same lines.
            joined.reserve(text_.size());
            for (std::size_t i = 0; i < lines_.size(); ++i) {
                joined.append(line(i));
                if (i + 1 < lines_.size()) {
                    joined.push_back('\n');
                }
            }
            source = joined;
        }
        // check, not assemble: an editor shows every error at once.
        program_ = check(source, name_);
    }
    return *program_;
}

} // namespace tarnasm::lsp
