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
            if (const std::string_view between = gap(tokens[i]); between.empty() || !allBlank(between)) {
                return std::nullopt;
            }
            result += ' ';
            result += textOf(tokens[i++]);
        }
        if (i < count && tokens[i].kind == TokenKind::symbolValue) {
            if (const std::string_view between = gap(tokens[i]); between.empty() || !allBlank(between)) {
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
    // One edit per run of changed lines: an edit per line of a large badly indented file would
    // cost more to send than to compute.
    std::vector<TextEdit> edits;
    const std::string_view text = document.text();
    std::size_t runStart = 0;
    std::string runText;
    bool inRun = false;
    for (std::size_t line = first; line <= last + 1; ++line) {
        std::string formatted;
        const bool changed = line <= last && (formatted = formatLine(document.line(line))) != document.line(line);
        if (changed && !inRun) {
            inRun = true;
            runStart = line;
            runText = std::move(formatted);
        } else if (changed) {
            // The line end between the previous line and this one, exactly as written.
            const std::string_view previous = document.line(line - 1);
            const auto previousEnd = static_cast<std::size_t>(previous.data() - text.data()) + previous.size();
            const auto start = static_cast<std::size_t>(document.line(line).data() - text.data());
            runText.append(text.substr(previousEnd, start - previousEnd));
            runText += formatted;
        } else if (inRun) {
            inRun = false;
            const std::size_t end = line - 1;
            const Range replaced{document.range(runStart, 0, 0).start,
                                 document.range(end, document.line(end).size(), 0).start};
            edits.push_back({replaced, std::move(runText)});
            runText.clear();
        }
    }
    return edits;
}

} // namespace tarnasm::lsp
