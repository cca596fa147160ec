// Cursor: a position in a document read as the assembler reads its line, and the name under it.
#pragma once

#include "Document.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnasm::lsp {

/// Labels (@name) and symbols ($name) live in separate name spaces.
enum class NameKind
{
    label,
    symbol,
};

/// A label or symbol name written in a line: where the name itself stands (without '@' or '$').
struct NameAt
{
    NameKind kind = NameKind::label;
    std::string name;
    std::size_t column = 0;
    bool isDefinition = false;
};

/// The label or symbol name a token writes: label definitions and @references, .DEF names,
/// $references, and a .DEF value that is an @reference. Null for any other token.
std::optional<NameAt> nameOf(std::string_view line, const Token& token);

class Cursor
{
public:
    Cursor(const Document& document, Position position);

    /// False for a position beyond the last line; such a cursor has no tokens.
    bool valid() const noexcept { return valid_; }
    std::size_t line() const noexcept { return line_; }
    /// The byte column of the position in its line.
    std::size_t column() const noexcept { return column_; }
    std::string_view lineText() const noexcept { return text_; }
    const std::vector<Token>& tokens() const noexcept { return tokens_; }

    /// The token that holds the cursor, or else the one that ends right before it; null when
    /// the cursor touches none.
    const Token* token() const noexcept;
    std::string_view text(const Token& token) const noexcept;
    /// The line's mnemonic token, or null.
    const Token* mnemonic() const noexcept;

private:
    bool valid_ = false;
    std::size_t line_ = 0;
    std::size_t column_ = 0;
    std::string_view text_;
    std::vector<Token> tokens_;
};

} // namespace tarnasm::lsp
