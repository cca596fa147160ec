// SemanticTokens: scanLine's tokens mapped to the legend and encoded relative to each other.
#include "SemanticTokens.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>

namespace tarnasm::lsp {

namespace {

enum Type : std::uint32_t
{
    keyword,
    function,
    macro,
    variable,
    number,
    comment,
    none,
};

// The client reads each number through the legend: it must name the types in the enum's order.
static_assert(std::size(kSemanticTokenTypes) == none && kSemanticTokenTypes[keyword] == "keyword" &&
              kSemanticTokenTypes[function] == "function" && kSemanticTokenTypes[macro] == "macro" &&
              kSemanticTokenTypes[variable] == "variable" && kSemanticTokenTypes[number] == "number" &&
              kSemanticTokenTypes[comment] == "comment");

constexpr std::uint32_t declaration = 1;
static_assert(std::size(kSemanticTokenModifiers) == 1 && kSemanticTokenModifiers[0] == "declaration");

/// What a .DEF value colours as: what it is when an instruction uses it.
Type valueType(std::string_view text)
{
    switch (readOperand(text).kind) {
    case TokenKind::registerName:
        return variable;
    case TokenKind::number:
        return number;
    case TokenKind::labelReference:
        return function;
    default:
        return none;
    }
}

Type typeOf(TokenKind kind)
{
    switch (kind) {
    case TokenKind::mnemonic:
    case TokenKind::directive:
        return keyword;
    case TokenKind::label:
    case TokenKind::labelReference:
        return function;
    case TokenKind::symbolName:
    case TokenKind::symbolReference:
        return macro;
    case TokenKind::registerName:
        return variable;
    case TokenKind::number:
        return number;
    case TokenKind::comment:
        return comment;
    default:
        return none;
    }
}

} // namespace

std::vector<std::uint32_t> semanticTokens(const Document& document, std::optional<Range> range)
{
    std::size_t first = 0;
    std::size_t last = document.lineCount();
    if (range) {
        first = std::min(static_cast<std::size_t>(range->start.line), last);
        last = std::min(static_cast<std::size_t>(range->end.line) + 1, last);
    }
    std::vector<std::uint32_t> data;
    std::uint32_t previousLine = 0;
    std::uint32_t previousStart = 0;
    for (std::size_t line = first; line < last; ++line) {
        const std::string_view text = document.line(line);
        for (const Token& token : scanLine(text)) {
            const auto column = static_cast<std::size_t>(token.column);
            const auto length = static_cast<std::size_t>(token.length);
            const Type type = token.kind == TokenKind::symbolValue ? valueType(text.substr(column, length))
                                                                    : typeOf(token.kind);
            if (type == none) {
                continue;
            }
            const auto start = static_cast<std::uint32_t>(document.character(line, column));
            const auto end = static_cast<std::uint32_t>(document.character(line, column + length));
            const auto lineNr = static_cast<std::uint32_t>(line);
            const bool defines = token.kind == TokenKind::label || token.kind == TokenKind::symbolName;
            data.insert(data.end(), {lineNr - previousLine, lineNr == previousLine ? start - previousStart : start,
                                     end - start, type, defines ? declaration : 0});
            previousLine = lineNr;
            previousStart = start;
        }
    }
    return data;
}

Json semanticTokensCapability()
{
    Json types = Json::array();
    for (const std::string_view type : kSemanticTokenTypes) {
        types.push_back(type);
    }
    Json modifiers = Json::array();
    for (const std::string_view modifier : kSemanticTokenModifiers) {
        modifiers.push_back(modifier);
    }
    return {{"legend", {{"tokenTypes", types}, {"tokenModifiers", modifiers}}}, {"full", true}, {"range", true}};
}

std::string semanticTokensResult(const Document& document, std::optional<Range> range)
{
    const auto data = semanticTokens(document, range);
    // Written directly: a large document has a quarter million numbers, and as a JSON value
    // each would be an object of its own to build, write and tear down (40 ms of page faults
    // for the reference program, after the reply and so before the next message).
    std::string reply = R"({"data":[)";
    reply.reserve(reply.size() + data.size() * 4 + 3);
    char digits[16];
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            reply.push_back(',');
        }
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, data[i]);
        reply.append(digits, end);
    }
    reply += "]}";
    return reply;
}

} // namespace tarnasm::lsp
