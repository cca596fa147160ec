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
    /// The fix a user would choose: the only one, or the clearly nearest of several.
    bool preferred = false;
};

/// The fixes for the document's diagnostics that touch the range: for an unknown mnemonic or an
/// undefined label or symbol the nearest names of that kind (edit distance), for a register
/// written in lower case its upper-case form, for a label defined again a free name for the later
/// definition.
std::vector<CodeAction> codeActions(const Document& document, const Range& range);

/// The fixes for the diagnostics the client names (for every one touching the range when it names
/// none), none unless context.only admits quick fixes. Alternatives for one diagnostic edit the
/// same text; fixes of different diagnostics never overlap. With onlyPreferred, a named
/// diagnostic gets its preferred fix alone (or none where no choice is clear): for clients that
/// apply every fix they get.
std::vector<CodeAction> codeActions(const Document& document, const CodeActionParams& params, bool onlyPreferred);

/// Whether the request names diagnostics for a range beyond their lines: a client fixing them (Kate's
/// Quick Fix asks for the whole document and applies every action), not one asking what can be
/// done where the user is (Neovim, ALE and VS Code ask at the cursor and show a menu).
bool asksToFixNamed(const CodeActionParams& params);

/// The answer to textDocument/codeAction.
Json toJson(const std::vector<CodeAction>& actions);

/// The number of single-byte insertions, deletions and substitutions that turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b);

} // namespace tarnasm::lsp
