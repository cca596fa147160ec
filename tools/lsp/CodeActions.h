// CodeActions: quick fixes for the diagnostics whose fix is plain.
#pragma once

#include "Document.h"

#include <string>
#include <vector>

namespace tarnasm::lsp {

struct CodeAction
{
    std::string title;
    /// The diagnostic it fixes, as the server publishes it.
    Diagnostic diagnostic;
    WorkspaceEdit edit;
    /// The nearest of several choices.
    bool preferred = false;
};

/// The fixes for the document's diagnostics that touch the range: for an unknown mnemonic or an
/// undefined label or symbol the nearest names of that kind (edit distance), for a register
/// written in lower case its upper-case form, for a label defined again a free name for the later
/// definition.
std::vector<CodeAction> codeActions(const Document& document, const Range& range);

/// The answer to textDocument/codeAction (ProtocolError when params.range is malformed).
Json codeActionsResult(const Document& document, const Json& params);

/// The number of single-byte insertions, deletions and substitutions that turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b);

} // namespace tarnasm::lsp
