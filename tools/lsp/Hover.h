// Hover: what the assembler knows of the token under the cursor.
#pragma once

#include "Document.h"

#include <optional>

namespace tarnasm::lsp {

/// A mnemonic's variants; a label's address and defining line; a symbol's value and .DEF line;
/// a number's value and the range of its operand; a register's number. Null elsewhere and for a
/// position beyond the document.
std::optional<Hover> hover(const Document& document, Position position);

} // namespace tarnasm::lsp
