// SelectionRanges: the growing ranges around a position (name, token, statement, line, document).
#pragma once

#include "Document.h"

#include <vector>

namespace tarnasm::lsp {

/// From the innermost range to the whole document, each strictly larger than the one before:
/// a label's or symbol's name without its sigil, the token, the statement without its comment,
/// the line, the document. A position beyond the document gets the document alone.
std::vector<Range> selectionRanges(const Document& document, Position position);

/// The protocol's nested form: the first range with the next as its parent, and so on.
Json selectionRangeJson(const std::vector<Range>& ranges);

} // namespace tarnasm::lsp
