// SelectionRanges: ranges from the line's tokens, widened step by step.
#include "SelectionRanges.h"

#include "Cursor.h"

#include <nlohmann/json.hpp>

namespace tarnasm::lsp {

namespace {

bool contains(const Range& outer, const Range& inner)
{
    const auto before = [](Position a, Position b) {
        return a.line < b.line || (a.line == b.line && a.character <= b.character);
    };
    return before(outer.start, inner.start) && before(inner.end, outer.end);
}

} // namespace

std::vector<Range> selectionRanges(const Document& document, Position position)
{
    std::vector<Range> ranges;
    const auto add = [&ranges](const Range& range) {
        if (ranges.empty() || (range != ranges.back() && contains(range, ranges.back()))) {
            ranges.push_back(range);
        }
    };
    const Cursor cursor(document, position);
    if (cursor.valid()) {
        const std::size_t line = cursor.line();
        if (const Token* token = cursor.token()) {
            if (const auto name = nameOf(cursor.lineText(), *token)) {
                add(document.range(line, name->column, name->name.size()));
            }
            add(document.range(line, static_cast<std::size_t>(token->column), static_cast<std::size_t>(token->length)));
        }
        const auto& tokens = cursor.tokens();
        std::size_t statementEnd = 0;
        for (const Token& t : tokens) {
            if (t.kind != TokenKind::comment) {
                statementEnd = static_cast<std::size_t>(t.column) + static_cast<std::size_t>(t.length);
            }
        }
        if (statementEnd > 0) {
            const auto start = static_cast<std::size_t>(tokens.front().column);
            add(document.range(line, start, statementEnd - start));
        }
        add(document.range(line, 0, cursor.lineText().size()));
    }
    const std::size_t last = document.lineCount() - 1;
    add({{0, 0}, document.range(last, document.line(last).size(), 0).end});
    return ranges;
}

Json selectionRangeJson(const std::vector<Range>& ranges)
{
    Json result = nullptr;
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        Json inner = {{"range", toJson(*range)}};
        if (!result.is_null()) {
            inner["parent"] = std::move(result);
        }
        result = std::move(inner);
    }
    return result;
}

} // namespace tarnasm::lsp
