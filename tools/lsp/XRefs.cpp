// XRefs: finding label and symbol names in every line with the assembler's line scan.
#include "XRefs.h"

#include <tarnasm/tarnasm.h>

#include <nlohmann/json.hpp>

#include <string>

namespace tarnasm::lsp {

namespace {

std::optional<NameAt> nameUnderCursor(const Cursor& cursor)
{
    const Token* token = cursor.token();
    return token == nullptr ? std::nullopt : nameOf(cursor.lineText(), *token);
}

Location nameLocation(const Document& document, std::size_t line, std::size_t column, std::size_t length)
{
    return {document.uri(), document.range(line, column, length)};
}

const char* kindName(NameKind kind)
{
    return kind == NameKind::label ? "label" : "symbol";
}

} // namespace

std::vector<NameAt> occurrences(const Document& document, NameKind kind, std::string_view name,
                                std::vector<std::size_t>* lines)
{
    std::vector<NameAt> result;
    for (std::size_t line = 0; line < document.lineCount(); ++line) {
        const std::string_view text = document.line(line);
        // Most lines do not hold the name at all: skip their scan.
        if (name.empty() || text.find(name) == std::string_view::npos) {
            continue;
        }
        for (const Token& token : scanLine(text)) {
            auto found = nameOf(text, token);
            if (found && found->kind == kind && found->name == name) {
                result.push_back(std::move(*found));
                if (lines != nullptr) {
                    lines->push_back(line);
                }
            }
        }
    }
    return result;
}

std::optional<Location> definition(const Document& document, Position position)
{
    const Cursor cursor(document, position);
    const auto name = nameUnderCursor(cursor);
    if (!name) {
        return std::nullopt;
    }
    const Program& program = document.program();
    int line = 0;
    int column = 0;
    if (name->kind == NameKind::label) {
        const Label* label = program.findLabel(name->name);
        if (label == nullptr) {
            return std::nullopt;
        }
        line = label->line;
        column = label->column;
    } else {
        const Symbol* symbol = program.findSymbol(name->name);
        if (symbol == nullptr) {
            return std::nullopt;
        }
        line = symbol->line;
        column = symbol->column;
    }
    return nameLocation(document, static_cast<std::size_t>(line - 1), static_cast<std::size_t>(column),
                        name->name.size());
}

Json toJson(const DocumentHighlight& highlight)
{
    // The protocol's DocumentHighlightKind: 2 read, 3 write.
    return {{"range", toJson(highlight.range)}, {"kind", highlight.write ? 3 : 2}};
}

std::vector<DocumentHighlight> highlights(const Document& document, Position position)
{
    const Cursor cursor(document, position);
    const auto name = nameUnderCursor(cursor);
    if (!name) {
        return {};
    }
    std::vector<std::size_t> lines;
    const auto found = occurrences(document, name->kind, name->name, &lines);
    std::vector<DocumentHighlight> result;
    for (std::size_t i = 0; i < found.size(); ++i) {
        result.push_back({document.range(lines[i], found[i].column, name->name.size()), found[i].isDefinition});
    }
    return result;
}

std::vector<Location> references(const Document& document, Position position, bool includeDeclaration)
{
    std::vector<Location> result;
    for (const DocumentHighlight& place : highlights(document, position)) {
        if (includeDeclaration || !place.write) {
            result.push_back({document.uri(), place.range});
        }
    }
    return result;
}

std::optional<Range> prepareRename(const Document& document, Position position)
{
    const Cursor cursor(document, position);
    const auto name = nameUnderCursor(cursor);
    if (!name || name->name.empty()) {
        return std::nullopt;
    }
    return document.range(cursor.line(), name->column, name->name.size());
}

WorkspaceEdit rename(const Document& document, Position position, std::string_view newName)
{
    const Cursor cursor(document, position);
    const auto name = nameUnderCursor(cursor);
    if (!name) {
        throw ProtocolError(ErrorCode::requestFailed, "there is no label or symbol here to rename");
    }
    const char* kind = kindName(name->kind);
    if (!isName(newName)) {
        throw ProtocolError(ErrorCode::requestFailed, "'" + std::string(newName) + "' is not a valid " + kind +
                                                          " name: use letters, digits and '_', not starting "
                                                          "with a digit");
    }
    WorkspaceEdit edit{document.uri(), {}};
    if (newName == name->name) {
        return edit;
    }
    if (!occurrences(document, name->kind, newName).empty()) {
        throw ProtocolError(ErrorCode::requestFailed,
                            "a " + std::string(kind) + " named '" + std::string(newName) + "' is already used");
    }
    std::vector<std::size_t> lines;
    const auto found = occurrences(document, name->kind, name->name, &lines);
    for (std::size_t i = 0; i < found.size(); ++i) {
        edit.edits.push_back({document.range(lines[i], found[i].column, name->name.size()), std::string(newName)});
    }
    return edit;
}

} // namespace tarnasm::lsp
