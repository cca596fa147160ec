// CodeComplete: what may be written at the cursor.
#pragma once

#include "Document.h"

#include <vector>

namespace tarnasm::lsp {

/// Mnemonics (with their operand forms) and .DEF where a statement starts; registers, @labels
/// and $symbols in the operands; labels after '@' and symbols after '$'. Each item replaces the
/// word being typed. Empty in a comment and for a position beyond the document.
std::vector<CompletionItem> completion(const Document& document, Position position);

} // namespace tarnasm::lsp
