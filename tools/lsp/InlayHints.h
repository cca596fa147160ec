// InlayHints: the address after each @label and the value after each $NAME.
#pragma once

#include "Document.h"

#include <vector>

namespace tarnasm::lsp {

struct InlayHint
{
    /// Right after the reference.
    Position position;
    std::string label;
};
Json toJson(const InlayHint& hint);

/// For the references that start in the range (its end excluded): "= address" after every reference to a defined label, and
/// "= value text" after every reference to a symbol defined on an earlier line (a symbol counts
/// only from the line after its .DEF). Nothing for undefined names or definitions.
std::vector<InlayHint> inlayHints(const Document& document, const Range& range);

} // namespace tarnasm::lsp
