// Markup: one document, two renderings, so that plain text never loses what the markdown quotes.
#include "Markup.h"

#include <algorithm>

namespace tarnasm::lsp {

namespace {

/// Backslash, backtick and asterisk would start markup inside running text.
std::string escaped(std::string_view text)
{
    std::string result;
    for (char c : text) {
        if (c == '\\' || c == '`' || c == '*') {
            result += '\\';
        }
        result += c;
    }
    return result;
}

/// A code span whose fence is longer than any run of backticks inside it (a quoted source line may
/// hold some); padded where the text itself starts or ends with one.
std::string codeSpan(std::string_view text)
{
    std::size_t longest = 0;
    std::size_t run = 0;
    for (char c : text) {
        run = c == '`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const std::string fence(longest + 1, '`');
    const bool pad = !text.empty() && (text.front() == '`' || text.back() == '`');
    std::string result = fence;
    if (pad) {
        result += ' ';
    }
    result += text;
    if (pad) {
        result += ' ';
    }
    return result + fence;
}

} // namespace

Markup& Markup::paragraph()
{
    blocks_.push_back({false, {}});
    return *this;
}

Markup& Markup::item()
{
    blocks_.push_back({true, {}});
    return *this;
}

Markup& Markup::text(std::string_view text)
{
    return add(Style::text, text);
}

Markup& Markup::code(std::string_view text)
{
    return add(Style::code, text);
}

Markup& Markup::bold(std::string_view text)
{
    return add(Style::bold, text);
}

Markup& Markup::add(Style style, std::string_view text)
{
    if (blocks_.empty()) {
        paragraph();
    }
    blocks_.back().runs.push_back({style, std::string(text)});
    return *this;
}

std::string Markup::markdown() const
{
    return render(true);
}

std::string Markup::plainText() const
{
    return render(false);
}

std::string Markup::render(bool markdown) const
{
    std::string result;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Block& block = blocks_[i];
        if (i > 0) {
            result += block.item ? "\n" : "\n\n";
        }
        if (block.item) {
            result += "- ";
        }
        for (const Run& run : block.runs) {
            if (!markdown) {
                result += run.text;
            } else if (run.style == Style::code) {
                result += codeSpan(run.text);
            } else if (run.style == Style::bold) {
                result += "**" + escaped(run.text) + "**";
            } else {
                result += escaped(run.text);
            }
        }
    }
    return result;
}

} // namespace tarnasm::lsp
