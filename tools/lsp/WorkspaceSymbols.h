// WorkspaceSymbols: the labels and symbols of every open document that match a query.
#pragma once

#include "Document.h"

#include <string_view>
#include <vector>

namespace tarnasm::lsp {

struct SymbolInformation
{
    std::string name;
    SymbolKind kind = SymbolKind::function;
    Location location;
    /// The document's file name, so that equal names in several documents can be told apart.
    std::string containerName;
};
Json toJson(const SymbolInformation& symbol);

/// The names that hold the query's characters in order, ignoring case (an empty query matches
/// all), document by document in the given order and in line order within each.
std::vector<SymbolInformation> workspaceSymbols(const std::vector<const Document*>& documents, std::string_view query);

} // namespace tarnasm::lsp
