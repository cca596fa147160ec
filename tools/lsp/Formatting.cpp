// Formatting: each line rebuilt from the assembler's own tokens, checked against the separators
// between them so that text the scan does not account for keeps the line as it is.
#include "Formatting.h"

#include <tarnasm/tarnasm.h>

#include <nlohmann/json.hpp>

namespace tarnasm::lsp {

namespace {

/// The assembler's blanks inside a line (line ends cannot occur there).
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

bool allBlank(std::string_view text)
{
    for (const char c : text) {
        if (!isBlank(c)) {
            return false;
        }
    }
    return true;
}

/// Blanks, one separator, blanks.
bool separatedBy(std::string_view gap, char separator)
{
    const std::size_t at = gap.find(separator);
    return at != std::string_view::npos && allBlank(gap.substr(0, at)) && allBlank(gap.substr(at + 1));
}

void padTo(std::string& text, std::size_t column)
{
    text.resize(std::max(text.size() + 1, column), ' ');
}

/// The formatted line, or nothing when the tokens do not account for every byte of it.
std::optional<std::string> rebuilt(std::string_view line, const std::vector<Token>& tokens)
{
    const auto textOf = [line](const Token& t) {
        return line.substr(static_cast<std::size_t>(t.column), static_cast<std::size_t>(t.length));
    };
    // What lies between the end of the previous token and this one.
    std::size_t end = 0;
    const auto gap = [&](const Token& t) {
        const std::string_view between = line.substr(end, static_cast<std::size_t>(t.column) - end);
        end = static_cast<std::size_t>(t.column) + static_cast<std::size_t>(t.length);
        return between;
    };

    std::string result;
    std::size_t i = 0;
    const Token* comment = tokens.empty() || tokens.back().kind != TokenKind::comment ? nullptr : &tokens.back();
    const std::size_t count = tokens.size() - (comment != nullptr ? 1 : 0);
    if (i < count && tokens[i].kind == TokenKind::directive) {
        if (!allBlank(gap(tokens[i]))) {
            return std::nullopt;
        }
        result += textOf(tokens[i++]);
        if (i < count && tokens[i].kind == TokenKind::symbolName) {
            if (gap(tokens[i]).empty()) {
                return std::nullopt;
            }
            result += ' ';
            result += textOf(tokens[i++]);
        }
        if (i < count && tokens[i].kind == TokenKind::symbolValue) {
            if (gap(tokens[i]).empty()) {
                return std::nullopt;
            }
            padTo(result, kFormatOperandColumn);
            result += textOf(tokens[i++]);
        }
    } else {
        if (i < count && tokens[i].kind == TokenKind::label) {
            if (!allBlank(gap(tokens[i]))) {
                return std::nullopt;
            }
            result += textOf(tokens[i++]);
            result += ':';
            // The colon sits in the gap before the next token, or after the label at the end.
            const std::size_t next = i < tokens.size() ? static_cast<std::size_t>(tokens[i].column) : line.size();
            if (!separatedBy(line.substr(end, next - end), ':')) {
                return std::nullopt;
            }
            end = next;
        }
        if (i < count && tokens[i].kind == TokenKind::mnemonic) {
            if (!allBlank(gap(tokens[i]))) {
                return std::nullopt;
            }
            padTo(result, kFormatInstructionColumn);
            result += textOf(tokens[i++]);
            for (int operand = 0; i < count && tokens[i].operand == operand; ++operand) {
                const std::string_view between = gap(tokens[i]);
                if (operand == 0) {
                    if (!allBlank(between)) {
                        return std::nullopt;
                    }
                    padTo(result, kFormatOperandColumn);
                } else {
                    if (!separatedBy(between, ',')) {
                        return std::nullopt;
                    }
                    result += ", ";
                }
                result += textOf(tokens[i++]);
            }
        }
    }
    if (i != count) {
        return std::nullopt; // a token the layout above has no place for
    }
    const std::string_view rest = line.substr(end, comment != nullptr ? static_cast<std::size_t>(comment->column) - end
                                                                       : std::string_view::npos);
    if (!allBlank(rest)) {
        return std::nullopt; // a separator the scan passed over, e.g. a trailing comma
    }
    if (comment != nullptr) {
        if (result.empty()) {
            // A comment alone stays at the margin, or else indents like an instruction.
            if (comment->column > 0) {
                result.assign(kFormatInstructionColumn, ' ');
            }
        } else {
            padTo(result, kFormatCommentColumn);
        }
        result += textOf(*comment);
    }
    return result;
}

} // namespace

std::string formatLine(std::string_view line)
{
    const std::vector<Token> tokens = scanLine(line);
    for (const Token& token : tokens) {
        if (token.kind == TokenKind::other) {
            return std::string(line);
        }
    }
    auto formatted = rebuilt(line, tokens);
    return formatted ? std::move(*formatted) : std::string(line);
}

Json toJson(const TextEdit& edit)
{
    return {{"range", toJson(edit.range)}, {"newText", edit.newText}};
}

std::vector<TextEdit> formatting(const Document& document, const std::optional<Range>& range)
{
    std::size_t first = 0;
    std::size_t last = document.lineCount() - 1;
    if (range) {
        first = std::min(static_cast<std::size_t>(range->start.line), last);
        last = std::min(static_cast<std::size_t>(range->end.line), last);
        // A range that ends at the start of a line does not touch that line.
        if (last > first && range->end.character == 0) {
            --last;
        }
    }
    std::vector<TextEdit> edits;
    for (std::size_t line = first; line <= last; ++line) {
        const std::string_view text = document.line(line);
        std::string formatted = formatLine(text);
        if (formatted != text) {
            edits.push_back({document.range(line, 0, text.size()), std::move(formatted)});
        }
    }
    return edits;
}

} // namespace tarnasm::lsp
