// XRefs: definitions, references and renaming of labels and symbols.
#pragma once

#include "Cursor.h"
#include "Document.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tarnasm::lsp {

/// Every place the name is written in the document, in line order; definitions (the first and
/// any repeated one) included.
std::vector<NameAt> occurrences(const Document& document, NameKind kind, std::string_view name,
                                std::vector<std::size_t>* lines = nullptr);

/// A place where the name under the cursor is written; write for its definitions.
struct DocumentHighlight
{
    Range range;
    bool write = false;
};
Json toJson(const DocumentHighlight& highlight);

/// Where the label or symbol under the cursor is defined; null elsewhere or when undefined.
/// Also the answer to declaration: the language declares a name where it defines it.
std::optional<Location> definition(const Document& document, Position position);

/// The places of the label or symbol under the cursor, its definitions only if asked for.
std::vector<Location> references(const Document& document, Position position, bool includeDeclaration);

/// Every place in the document of the label or symbol under the cursor; none elsewhere.
std::vector<DocumentHighlight> highlights(const Document& document, Position position);

/// The range of the name (without '@' or '$') under the cursor that rename would change;
/// null where there is no label or symbol.
std::optional<Range> prepareRename(const Document& document, Position position);

/// The edits that rename the label or symbol under the cursor. Throws ProtocolError
/// (requestFailed) when the cursor is on no name, or the new name is not one the language
/// accepts for it, or is written in the document already as another label (or symbol).
WorkspaceEdit rename(const Document& document, Position position, std::string_view newName);

} // namespace tarnasm::lsp
