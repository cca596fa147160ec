// Markup: hover and completion documentation, built once and rendered for what the client shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnasm::lsp {

/// Paragraphs and list items of text, code and bold runs. A paragraph follows the block before it
/// after a blank line, a list item on the next line; an empty paragraph at the end leaves a blank
/// line after the text.
class Markup
{
public:
    Markup& paragraph();
    Markup& item();
    /// Runs go into the last block, a new paragraph when there is none.
    Markup& text(std::string_view text);
    Markup& code(std::string_view text);
    Markup& bold(std::string_view text);

    bool empty() const { return blocks_.empty(); }

    std::string markdown() const;
    /// The same text without markup: code and bold runs as they are written.
    std::string plainText() const;

private:
    enum class Style
    {
        text,
        code,
        bold,
    };
    struct Run
    {
        Style style;
        std::string text;
    };
    struct Block
    {
        bool item;
        std::vector<Run> runs;
    };

    Markup& add(Style style, std::string_view text);
    std::string render(bool markdown) const;

    std::vector<Block> blocks_;
};

} // namespace tarnasm::lsp
