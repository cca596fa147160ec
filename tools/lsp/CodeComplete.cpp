// CodeComplete: items chosen by the kind of the word before the cursor in the assembler's scan.
#include "CodeComplete.h"

#include "InstructionText.h"

#include <map>
#include <optional>

namespace tarnasm::lsp {

namespace {

enum class Context
{
    none,
    statement,
    directive,
    operand,
    label,
    symbol,
};

struct Completer
{
    const Document& document;
    std::size_t line;
    TextEdit edit;
    std::vector<CompletionItem> items;

    /// The range after a typed sigil: names are then inserted without it.
    std::optional<Range> afterSigil;

    void add(std::string label, CompletionKind kind, std::string insert, std::string detail = {},
             Markup documentation = {})
    {
        TextEdit replace = edit;
        replace.newText = std::move(insert);
        items.push_back({std::move(label), kind, std::move(detail), std::move(documentation), std::move(replace), {}});
    }

    /// A label or symbol: the sigil and name where no sigil is typed yet, else only the name.
    /// Either way clients filter by the name, so "st" finds @start.
    void addName(char sigil, const std::string& name, CompletionKind kind, std::string detail)
    {
        const std::string withSigil = sigil + name;
        if (afterSigil) {
            items.push_back({withSigil, kind, std::move(detail), {}, {*afterSigil, name}, name});
        } else {
            add(withSigil, kind, withSigil, std::move(detail));
            items.back().filterText = name;
        }
    }

    void mnemonics()
    {
        // One item per mnemonic, its variants' operand forms as the detail.
        std::map<std::string, std::vector<const Variant*>> byName;
        for (const Variant& variant : instructionSet()) {
            byName[variant.mnemonic].push_back(&variant);
        }
        for (const auto& [name, variants] : byName) {
            std::string detail;
            Markup documentation;
            for (const Variant* variant : variants) {
                detail += (detail.empty() ? "" : " | ") + (variant->signature.empty() ? "(none)" : variant->signature);
                describeVariant(documentation, *variant);
            }
            // Clients have always had the variants closed by a blank line.
            documentation.paragraph();
            add(name, CompletionKind::function, name, detail, std::move(documentation));
        }
    }

    void directive()
    {
        Markup documentation;
        documentation.text("defines the symbol ").code("$name");
        add(".DEF", CompletionKind::keyword, ".DEF", ".DEF name value", std::move(documentation));
    }

    void labels()
    {
        for (const Label& label : document.program().labels()) {
            addName('@', label.name, CompletionKind::reference, "address " + std::to_string(label.address));
        }
    }

    void symbols()
    {
        for (const Symbol& symbol : document.program().symbols()) {
            // A symbol stands for its value from the line after its .DEF on.
            if (static_cast<std::size_t>(symbol.line) <= line) {
                addName('$', symbol.name, CompletionKind::constant, symbol.value);
            }
        }
    }

    void registers()
    {
        for (int i = 0; i <= 63; ++i) {
            // Appended, not "R" + ...: there g++ 12 at -O3 warns of an overlap that cannot happen (-Wrestrict).
            std::string name = "R";
            name += std::to_string(i);
            add(name, CompletionKind::variable, name, "register");
        }
    }
};

} // namespace

std::vector<CompletionItem> completion(const Document& document, Position position)
{
    if (static_cast<std::size_t>(position.line) >= document.lineCount()) {
        return {};
    }
    const auto line = static_cast<std::size_t>(position.line);
    const std::size_t column = document.byteColumn(line, position.character);
    // What stands before the cursor decides; what follows it does not change that.
    const std::string_view before = document.line(line).substr(0, column);
    const auto tokens = scanLine(before);

    Context context = Context::statement;
    std::size_t wordStart = column;
    bool afterMnemonic = false;
    for (const Token& token : tokens) {
        afterMnemonic = afterMnemonic || token.kind == TokenKind::mnemonic;
        if (token.kind == TokenKind::directive || token.kind == TokenKind::symbolName ||
            token.kind == TokenKind::symbolValue || token.kind == TokenKind::comment) {
            context = Context::none;
        }
    }
    const Token* last = tokens.empty() ? nullptr : &tokens.back();
    const bool typing = last != nullptr && static_cast<std::size_t>(last->column + last->length) == column;
    if (typing) {
        wordStart = static_cast<std::size_t>(last->column);
        const std::string_view word = before.substr(wordStart);
        if (last->kind == TokenKind::comment) {
            context = Context::none;
        } else if (word.front() == '@') {
            context = Context::label;
        } else if (word.front() == '$') {
            context = Context::symbol;
        } else if (last->kind == TokenKind::directive || (word.front() == '.' && tokens.size() == 1)) {
            context = Context::directive;
        } else if (last->operand >= 0) {
            context = Context::operand;
        } else if (last->kind == TokenKind::mnemonic || last->kind == TokenKind::other) {
            // The word being typed is the statement's first (or the one after a label).
            context = tokens.size() == 1 || tokens.front().kind == TokenKind::label ? Context::statement : Context::none;
        } else {
            context = Context::none;
        }
    } else if (context != Context::none) {
        context = afterMnemonic ? Context::operand : Context::statement;
        if (last != nullptr && last->kind == TokenKind::other) {
            context = Context::none;
        }
    }

    Completer completer{document, line, {document.range(line, wordStart, column - wordStart), ""}, {}, {}};
    if (context == Context::label || context == Context::symbol) {
        completer.afterSigil = document.range(line, wordStart + 1, column - wordStart - 1);
    }
    switch (context) {
    case Context::statement:
        completer.mnemonics();
        if (tokens.empty() || (typing && tokens.size() == 1)) {
            completer.directive();
        }
        break;
    case Context::directive:
        completer.directive();
        break;
    case Context::operand:
        completer.registers();
        completer.labels();
        completer.symbols();
        break;
    case Context::label:
        completer.labels();
        break;
    case Context::symbol:
        completer.symbols();
        break;
    case Context::none:
        break;
    }
    return std::move(completer.items);
}

} // namespace tarnasm::lsp
