// Cursor: the token under a position, from the assembler's own scan of the line.
#include "Cursor.h"

namespace tarnasm::lsp {

std::optional<NameAt> nameOf(std::string_view line, const Token& token)
{
    const auto column = static_cast<std::size_t>(token.column);
    const std::string_view text = line.substr(column, static_cast<std::size_t>(token.length));
    switch (token.kind) {
    case TokenKind::label:
        return NameAt{NameKind::label, std::string(text), column, true};
    case TokenKind::symbolName:
        return NameAt{NameKind::symbol, std::string(text), column, true};
    case TokenKind::labelReference:
        return NameAt{NameKind::label, std::string(text.substr(1)), column + 1, false};
    case TokenKind::symbolReference:
        return NameAt{NameKind::symbol, std::string(text.substr(1)), column + 1, false};
    case TokenKind::symbolValue:
        // The value replaces $name as it is written, so "@name" there is a label reference.
        if (readOperand(text).kind == TokenKind::labelReference) {
            return NameAt{NameKind::label, std::string(text.substr(1)), column + 1, false};
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

Cursor::Cursor(const Document& document, Position position)
{
    if (static_cast<std::size_t>(position.line) >= document.lineCount()) {
        return;
    }
    valid_ = true;
    line_ = static_cast<std::size_t>(position.line);
    text_ = document.line(line_);
    column_ = document.byteColumn(line_, position.character);
    tokens_ = scanLine(text_);
}

const Token* Cursor::token() const noexcept
{
    const Token* before = nullptr;
    for (const Token& t : tokens_) {
        const auto begin = static_cast<std::size_t>(t.column);
        const auto end = begin + static_cast<std::size_t>(t.length);
        if (begin <= column_ && column_ < end) {
            return &t;
        }
        if (end == column_) {
            before = &t;
        }
    }
    return before;
}

std::string_view Cursor::text(const Token& token) const noexcept
{
    return text_.substr(static_cast<std::size_t>(token.column), static_cast<std::size_t>(token.length));
}

const Token* Cursor::mnemonic() const noexcept
{
    for (const Token& t : tokens_) {
        if (t.kind == TokenKind::mnemonic) {
            return &t;
        }
    }
    return nullptr;
}

} // namespace tarnasm::lsp
