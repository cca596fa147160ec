// InlayHints: references found with the line scan, their values from the assembled program.
#include "InlayHints.h"

#include "Cursor.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tarnasm::lsp {

namespace {

bool before(Position a, Position b)
{
    return a.line < b.line || (a.line == b.line && a.character < b.character);
}

} // namespace

Json toJson(const InlayHint& hint)
{
    return {{"position", toJson(hint.position)}, {"label", hint.label}, {"paddingLeft", true}};
}

std::vector<InlayHint> inlayHints(const Document& document, const Range& range)
{
    std::vector<InlayHint> hints;
    const Program& program = document.program();
    const std::size_t last = std::min(static_cast<std::size_t>(range.end.line), document.lineCount() - 1);
    for (auto line = static_cast<std::size_t>(range.start.line); line <= last; ++line) {
        const std::string_view text = document.line(line);
        for (const Token& token : scanLine(text)) {
            const auto name = nameOf(text, token);
            if (!name || name->isDefinition) {
                continue;
            }
            // A hint belongs to its reference: in the range when the reference starts there.
            const Position at{static_cast<int>(line), document.character(line, static_cast<std::size_t>(token.column))};
            if (before(at, range.start) || !before(at, range.end)) {
                continue;
            }
            std::string value;
            if (name->kind == NameKind::label) {
                const Label* label = program.findLabel(name->name);
                if (label == nullptr) {
                    continue;
                }
                value = std::to_string(label->address);
            } else {
                const Symbol* symbol = program.findSymbol(name->name);
                if (symbol == nullptr || static_cast<std::size_t>(symbol->line) > line) {
                    continue;
                }
                value = symbol->value;
            }
            const std::size_t end = name->column + name->name.size();
            hints.push_back({{static_cast<int>(line), document.character(line, end)}, "= " + value});
        }
    }
    return hints;
}

} // namespace tarnasm::lsp
