// Markup: the two renderings of one document agree on the text, and markdown never lets quoted
// text turn into markup.
#include "Markup.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

TEST(Markup, RendersEachElementAsMarkdownAndAsPlainText)
{
    Markup markup;
    markup.bold("@loop_start").text(": a*b \\ `x`");
    markup.paragraph().text("line 3: ").code("here: nop # ``a`` `b`");
    markup.item().code("`dst`").text(": register");
    markup.item().code("src");
    markup.paragraph();
    EXPECT_EQ(markup.markdown(), "**@loop_start**: a\\*b \\\\ \\`x\\`\n\n"
                                 "line 3: ``` here: nop # ``a`` `b` ```\n"
                                 "- `` `dst` ``: register\n"
                                 "- `src`\n\n");
    // Plain text keeps code and bold runs exactly as written.
    EXPECT_EQ(markup.plainText(), "@loop_start: a*b \\ `x`\n\n"
                                  "line 3: here: nop # ``a`` `b`\n"
                                  "- `dst`: register\n"
                                  "- src\n\n");
    EXPECT_TRUE(Markup().empty());
    EXPECT_EQ(Markup().text("a").markdown(), "a");
}

} // namespace
} // namespace tarnasm::lsp
