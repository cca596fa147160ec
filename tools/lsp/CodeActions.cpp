// CodeActions: nearest names, upper-case registers and free label names, as workspace edits.
#include "CodeActions.h"

#include "Diagnostics.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <set>

namespace tarnasm::lsp {

namespace {

constexpr std::size_t maxSuggestedLength = 256;

struct Near
{
    std::string name;
    std::size_t distance;
};

/// Up to three names near the written one, nearest first; ties in the names' order.
std::vector<Near> nearest(std::string_view written, const std::vector<std::string>& names)
{
    // Further than a third of the name (and than 3) is another name, not a slip; a short name
    // such as "frob" still finds the few nearest mnemonics.
    const std::size_t limit = std::max<std::size_t>(3, written.size() / 3);
    std::vector<Near> scored;
    // The distance costs the product of the lengths: a pasted megabyte gets no suggestions.
    if (written.size() > maxSuggestedLength) {
        return {};
    }
    for (const std::string& name : names) {
        const std::size_t lengths = std::max(written.size(), name.size()) - std::min(written.size(), name.size());
        if (lengths > limit || name.size() > maxSuggestedLength) {
            continue; // the distance is at least the difference of the lengths
        }
        const std::size_t distance = editDistance(written, name);
        if (distance > 0 && distance <= limit) {
            scored.push_back({name, distance});
        }
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const Near& a, const Near& b) { return a.distance < b.distance; });
    scored.resize(std::min<std::size_t>(scored.size(), 3));
    return scored;
}

bool touches(const Range& a, const Range& b)
{
    const auto before = [](Position p, Position q) {
        return p.line < q.line || (p.line == q.line && p.character < q.character);
    };
    return !before(a.end, b.start) && !before(b.end, a.start);
}

bool overlap(const std::vector<TextEdit>& a, const std::vector<TextEdit>& b)
{
    const auto before = [](Position p, Position q) {
        return p.line < q.line || (p.line == q.line && p.character < q.character);
    };
    for (const TextEdit& x : a) {
        for (const TextEdit& y : b) {
            // Two insertions at one place overlap too: their order would be the client's guess.
            if (x.range.start == y.range.start ||
                (before(x.range.start, y.range.end) && before(y.range.start, x.range.end))) {
                return true;
            }
        }
    }
    return false;
}

/// The client's copy of a diagnostic names ours when the range and the code (or, without a code,
/// the message) agree; clients may pad or trim messages.
bool names(const Diagnostic& theirs, const Diagnostic& ours)
{
    if (theirs.range != ours.range) {
        return false;
    }
    if (!theirs.code.empty()) {
        return theirs.code == ours.code;
    }
    const auto trimmed = [](std::string_view text) { return text.substr(0, text.find_last_not_of(' ') + 1); };
    return trimmed(theirs.message) == trimmed(ours.message);
}

bool admitsQuickFixes(const std::optional<std::vector<std::string>>& only)
{
    if (!only) {
        return true;
    }
    // Kinds are hierarchical: "quickfix" is asked for by "quickfix" itself and by the empty kind.
    return std::any_of(only->begin(), only->end(),
                       [](const std::string& kind) { return kind.empty() || kind == "quickfix"; });
}

struct Fixer
{
    const Document& document;
    std::vector<CodeAction> actions;
    /// Label names in use or given by a fix of this answer, so that two fixes never pick the same.
    std::set<std::string, std::less<>> takenLabels;

    std::string textOf(const Range& range) const
    {
        if (range.start.line != range.end.line) {
            return {};
        }
        const auto line = static_cast<std::size_t>(range.start.line);
        const std::size_t start = document.byteColumn(line, range.start.character);
        const std::size_t end = document.byteColumn(line, range.end.character);
        return std::string(document.line(line).substr(start, end - start));
    }

    void offer(const Diagnostic& diagnostic, std::string title, std::vector<TextEdit> edits, bool preferred)
    {
        actions.push_back({std::move(title), diagnostic, {document.uri(), std::move(edits)}, preferred});
    }

    void replaceBy(const Diagnostic& diagnostic, const std::vector<Near>& names)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            // Two names as near as each other leave the choice to the user.
            const bool clear = i == 0 && (names.size() == 1 || names[0].distance < names[1].distance);
            offer(diagnostic, "Change to '" + names[i].name + "'", {{diagnostic.range, names[i].name}}, clear);
        }
    }

    void unknownMnemonic(const Diagnostic& diagnostic)
    {
        std::vector<std::string> names;
        for (const Variant& variant : instructionSet()) {
            if (names.empty() || names.back() != variant.mnemonic) {
                names.push_back(variant.mnemonic);
            }
        }
        replaceBy(diagnostic, nearest(textOf(diagnostic.range), names));
    }

    void undefinedName(const Diagnostic& diagnostic, bool label)
    {
        // A name that comes from a symbol's value is not written here: nothing plain to replace.
        const std::string written = textOf(diagnostic.range);
        if (!isName(written)) {
            return;
        }
        std::vector<std::string> names;
        if (label) {
            for (const Label& l : document.program().labels()) {
                names.push_back(l.name);
            }
        } else {
            // A symbol stands for its value from the line after its .DEF on.
            for (const Symbol& s : document.program().symbols()) {
                if (s.line - 1 < diagnostic.range.start.line) {
                    names.push_back(s.name);
                }
            }
        }
        replaceBy(diagnostic, nearest(written, names));
    }

    /// Registers are R0 to R63; 'r5' reads as a register of another letter, which no variant takes.
    void lowerCaseRegisters(const Diagnostic& diagnostic)
    {
        const auto line = static_cast<std::size_t>(diagnostic.range.start.line);
        const std::string_view text = document.line(line);
        std::vector<TextEdit> edits;
        std::string title;
        for (const Token& token : scanLine(text)) {
            const auto column = static_cast<std::size_t>(token.column);
            if (token.kind == TokenKind::registerName && text[column] == 'r') {
                const std::string written(text.substr(column, static_cast<std::size_t>(token.length)));
                // Appended, not "R" + ...: g++ 12 at -O3 warns falsely (-Wrestrict) about the latter.
                std::string upper = "R";
                upper.append(written, 1);
                edits.push_back({document.range(line, column, 1), "R"});
                title += (title.empty() ? "Write " : ", ") + upper + " for " + written;
            }
        }
        if (!edits.empty()) {
            offer(diagnostic, title, std::move(edits), true);
        }
    }

    void duplicateLabel(const Diagnostic& diagnostic)
    {
        const std::string written = textOf(diagnostic.range);
        if (takenLabels.empty()) {
            for (const Label& l : document.program().labels()) {
                takenLabels.insert(l.name);
            }
        }
        for (int n = 2;; ++n) {
            const std::string name = written + "_" + std::to_string(n);
            if (takenLabels.insert(name).second) {
                offer(diagnostic, "Rename this definition to '" + name + "'", {{diagnostic.range, name}}, true);
                return;
            }
        }
    }
};

} // namespace

std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::vector<CodeAction> codeActions(const Document& document, const Range& range)
{
    return codeActions(document, CodeActionParams{document.uri(), range, {}, std::nullopt}, false);
}

std::vector<CodeAction> codeActions(const Document& document, const CodeActionParams& params, bool onlyPreferred)
{
    if (!admitsQuickFixes(params.only)) {
        return {};
    }
    const bool named = !params.diagnostics.empty();
    Fixer fixer{document, {}, {}};
    std::vector<CodeAction> result;
    for (const Diagnostic& diagnostic : diagnostics(document)) {
        if (named ? std::none_of(params.diagnostics.begin(), params.diagnostics.end(),
                                 [&](const Diagnostic& d) { return names(d, diagnostic); })
                  : !touches(diagnostic.range, params.range)) {
            continue;
        }
        fixer.actions.clear();
        if (diagnostic.code == diagnosticCode(DiagnosticKind::unknownMnemonic)) {
            fixer.unknownMnemonic(diagnostic);
        } else if (diagnostic.code == diagnosticCode(DiagnosticKind::undefinedLabel)) {
            fixer.undefinedName(diagnostic, true);
        } else if (diagnostic.code == diagnosticCode(DiagnosticKind::undefinedSymbol)) {
            fixer.undefinedName(diagnostic, false);
        } else if (diagnostic.code == diagnosticCode(DiagnosticKind::unsupportedOperands)) {
            fixer.lowerCaseRegisters(diagnostic);
        } else if (diagnostic.code == diagnosticCode(DiagnosticKind::duplicateLabel)) {
            fixer.duplicateLabel(diagnostic);
        }
        if (named && onlyPreferred) {
            std::erase_if(fixer.actions, [](const CodeAction& action) { return !action.preferred; });
        }
        // Fixes of another diagnostic come first; one that overlaps them would spoil both.
        const std::size_t others = result.size();
        for (CodeAction& action : fixer.actions) {
            const bool clashes =
                std::any_of(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(others),
                            [&](const CodeAction& kept) { return overlap(kept.edit.edits, action.edit.edits); });
            if (!clashes) {
                result.push_back(std::move(action));
            }
        }
    }
    return result;
}

bool asksToFixNamed(const CodeActionParams& params)
{
    if (params.diagnostics.empty()) {
        return false;
    }
    int first = params.diagnostics[0].range.start.line;
    int last = params.diagnostics[0].range.end.line;
    for (const Diagnostic& d : params.diagnostics) {
        first = std::min(first, d.range.start.line);
        last = std::max(last, d.range.end.line);
    }
    // Up to the start of the next line is still the diagnostics' own lines.
    const Position end = params.range.end;
    return params.range.start.line < first || end.line > last + 1 || (end.line == last + 1 && end.character > 0);
}

Json toJson(const std::vector<CodeAction>& actions)
{
    Json result = Json::array();
    for (const CodeAction& action : actions) {
        Json entry = {{"title", action.title},
                      {"kind", "quickfix"},
                      {"diagnostics", Json::array({toJson(action.diagnostic)})},
                      {"edit", toJson(action.edit)}};
        if (action.preferred) {
            entry["isPreferred"] = true;
        }
        result.push_back(std::move(entry));
    }
    return result;
}

} // namespace tarnasm::lsp
