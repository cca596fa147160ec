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

/// Where the label or symbol under the cursor is defined; null elsewhere or when undefined.
std::optional<Location> definition(const Document& document, Position position);

/// The places of the label or symbol under the cursor, its definitions only if asked for.
std::vector<Location> references(const Document& document, Position position, bool includeDeclaration);

/// The edits that rename the label or symbol under the cursor. Throws ProtocolError
/// (requestFailed) when the cursor is on no name, or the new name is not one the language
/// accepts for it, or is written in the document already as another label (or symbol).
WorkspaceEdit rename(const Document& document, Position position, std::string_view newName);

} // namespace tarnasm::lsp
