// Diagnostics: report entries turned into ranges in UTF-16 positions.
#include "Diagnostics.h"

namespace tarnasm::lsp {

namespace {

Range placeRange(const Document& document, const tarnasm::Diagnostic& place)
{
    const std::size_t line = place.line > 0 ? static_cast<std::size_t>(place.line - 1) : 0;
    if (place.line <= 0 || place.column < 0) {
        return document.range(line, 0, document.line(line).size());
    }
    return document.range(line, static_cast<std::size_t>(place.column), static_cast<std::size_t>(place.length));
}

/// What a related place is to the diagnostic: the report words every place alike.
std::string relatedMessage(const tarnasm::Diagnostic& place)
{
    if (place.kind == DiagnosticKind::duplicateLabel || place.kind == DiagnosticKind::duplicateSymbol) {
        return "first defined here";
    }
    return place.message;
}

} // namespace

std::vector<Diagnostic> diagnostics(const Document& document)
{
    const auto& places = document.program().diagnostics();
    std::vector<Diagnostic> result;
    for (std::size_t first = 0; first < places.size();) {
        std::size_t last = first;
        while (last + 1 < places.size() && places[last + 1].entry == places[first].entry) {
            ++last;
        }
        Diagnostic diagnostic{placeRange(document, places[last]), places[last].message, {},
                              std::string(diagnosticCode(places[last].kind))};
        for (std::size_t i = first; i < last; ++i) {
            diagnostic.related.push_back(
                {{document.uri(), placeRange(document, places[i])}, relatedMessage(places[i])});
        }
        result.push_back(std::move(diagnostic));
        first = last + 1;
    }
    return result;
}

} // namespace tarnasm::lsp
