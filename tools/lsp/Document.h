// Document: the text of one open document, its lines, UTF-16 positions and its assembled program.
#pragma once

#include "Protocol.h"

#include <tarnasm/tarnasm.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnasm::lsp {

class Document
{
public:
    /// name is the source name the assembler's report shows.
    Document(std::string uri, std::string name, std::string text, int version);

    const std::string& uri() const noexcept { return uri_; }
    const std::string& name() const noexcept { return name_; }
    const std::string& text() const noexcept { return text_; }
    int version() const noexcept { return version_; }

    /// Lines as the protocol counts them: ended by LF, CRLF or CR. Never 0.
    std::size_t lineCount() const noexcept { return lines_.size(); }
    /// The line's text without its line end; "" beyond the last line.
    std::string_view line(std::size_t index) const noexcept;

    /// The byte column of a position's character in its line, clamped to the line; the line is
    /// clamped to the document. A character inside a surrogate pair counts as the pair's start.
    std::size_t byteColumn(std::size_t line, int character) const noexcept;
    /// The UTF-16 character of a byte column in a line (clamped to the line).
    int character(std::size_t line, std::size_t byteColumn) const noexcept;
    /// The protocol range of bytes [column, column + length) of a line.
    Range range(std::size_t line, std::size_t column, std::size_t length) const noexcept;
    /// The byte offset in text() of a position, clamped to the document.
    std::size_t offset(Position position) const noexcept;

    /// Replaces a range (the whole text without one) with new text.
    void applyChange(const ContentChange& change);
    void setVersion(int version) noexcept { version_ = version; }

    /// The document checked (tarnasm::check: every error at once), with the protocol's lines as
    /// the assembler's (a line end the protocol counts twice, LF CR, is two for the assembler
    /// too). Assembled at the first call
    /// after a change.
    const Program& program() const;

private:
    struct LineSpan
    {
        std::size_t begin;
        std::size_t end;
    };
    void index();

    std::string uri_;
    std::string name_;
    std::string text_;
    int version_;
    std::vector<LineSpan> lines_;
    bool hasCarriageReturn_ = false;
    mutable std::optional<Program> program_;
};

} // namespace tarnasm::lsp
