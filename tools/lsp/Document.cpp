// Document: line index, UTF-8 to UTF-16 conversion and incremental edits of one document.
#include "Document.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

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
            // The assembler reads LF CR as one line end, the protocol as two; and text in memory
            // counts CR LF as two (see the report): give it the protocol's lines, ended by LF.
            joined.reserve(text_.size());
            for (std::size_t i = 0; i < lines_.size(); ++i) {
                joined.append(line(i));
                if (i + 1 < lines_.size()) {
                    joined.push_back('\n');
                }
            }
            source = joined;
        }
        program_ = assembleText(source);
    }
    return *program_;
}

Program Document::assembleText(std::string_view source) const
{
    // Text in memory ends at a NUL that starts a line, silently; a file is read to its end and
    // the NUL reported, as the command line does. Only such text takes the way through a file.
    const bool nulStartsLine = !source.empty() && (source.front() == '\0' ||
                                                   source.find(std::string_view("\n\0", 2)) != std::string_view::npos);
    if (!nulStartsLine) {
        return assemble(source, name_);
    }
    // mkstemp makes the file anew with a name nobody can foresee: no other user's link is followed.
    std::string path;
    try {
        path = (std::filesystem::temp_directory_path() / "tarnasm-lsp-XXXXXX").string();
    } catch (const std::filesystem::filesystem_error&) {
        return assemble(source, name_);
    }
    const int fd = mkstemp(path.data());
    if (fd < 0) {
        return assemble(source, name_);
    }
    bool written = true;
    for (std::string_view rest = source; written && !rest.empty();) {
        const ssize_t n = write(fd, rest.data(), rest.size());
        written = n > 0;
        rest.remove_prefix(written ? static_cast<std::size_t>(n) : 0);
    }
    close(fd);
    if (!written) {
        unlink(path.c_str());
        return assemble(source, name_);
    }
    Program program = assembleFile(path);
    unlink(path.c_str());
    return program;
}

} // namespace tarnasm::lsp
