// DocumentSymbols: labels and symbols from the assembled program, merged in line order.
#include "DocumentSymbols.h"

#include <algorithm>

namespace tarnasm::lsp {

std::vector<DocumentSymbol> documentSymbols(const Document& document)
{
    const Program& program = document.program();
    std::vector<std::pair<int, DocumentSymbol>> found;
    const auto add = [&](const std::string& name, std::string detail, SymbolKind kind, int line, int column) {
        const auto index = static_cast<std::size_t>(line - 1);
        const Range nameRange = document.range(index, static_cast<std::size_t>(column), name.size());
        const Range whole = document.range(index, 0, document.line(index).size());
        found.push_back({line, {name, std::move(detail), kind, whole, nameRange}});
    };
    for (const Label& label : program.labels()) {
        add(label.name, "address " + std::to_string(label.address), SymbolKind::function, label.line, label.column);
    }
    for (const Symbol& symbol : program.symbols()) {
        add(symbol.name, symbol.value, SymbolKind::constant, symbol.line, symbol.column);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<DocumentSymbol> result;
    result.reserve(found.size());
    for (auto& entry : found) {
        result.push_back(std::move(entry.second));
    }
    return result;
}

} // namespace tarnasm::lsp
