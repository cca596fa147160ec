// WorkspaceSymbols: each document's outline, filtered by a query's characters in order.
#include "WorkspaceSymbols.h"

#include "DocumentSymbols.h"

#include <nlohmann/json.hpp>

#include <cctype>

namespace tarnasm::lsp {

namespace {

/// Typing a few characters of a long name ("ravg" for "run_average") should find it.
bool matches(std::string_view name, std::string_view query)
{
    std::size_t at = 0;
    for (const char c : name) {
        if (at < query.size() && std::tolower(static_cast<unsigned char>(c)) ==
                                     std::tolower(static_cast<unsigned char>(query[at]))) {
            ++at;
        }
    }
    return at == query.size();
}

} // namespace

Json toJson(const SymbolInformation& symbol)
{
    return {{"name", symbol.name},
            {"kind", static_cast<int>(symbol.kind)},
            {"location", toJson(symbol.location)},
            {"containerName", symbol.containerName}};
}

std::vector<SymbolInformation> workspaceSymbols(const std::vector<const Document*>& documents, std::string_view query)
{
    std::vector<SymbolInformation> result;
    for (const Document* document : documents) {
        for (DocumentSymbol& symbol : documentSymbols(*document)) {
            if (matches(symbol.name, query)) {
                result.push_back({std::move(symbol.name), symbol.kind, {document->uri(), symbol.selectionRange},
                                  document->name()});
            }
        }
    }
    return result;
}

} // namespace tarnasm::lsp
