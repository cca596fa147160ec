// Hover over annotated sources: what the assembler knows of a token, over the token's range alone.
#include "Hover.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

using test::Annotations;

TEST(Hover, ShowsWhatTheAssemblerKnows)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"nop\nst^art: nop\n jmp @start", {"address 1 (0x1)", "line 2: `start: nop`"}},
        {" jmp @nowh^ere", {"label `nowhere` is not defined"}},
        {".DEF N 0x10\n wait $^N", {"**$N** = `0x10` = 16 (0x10)", "line 1: `.DEF N 0x10`"}},
        // The operand's range comes from the variants that fit the other operands written.
        {" add R1, 0^x1F, R2", {"= 31 (0x1f)", "operand 2 of `add`: `alu_rgt_imm`, 0 to 4294967295"}},
        {" set_freq -^16", {"= -16 (-0x10)", "`seq_nco_freq_imm`, -2147483648 to 2147483647"}},
        {" wait ^2", {"= 2 (0x2)", "`seq_cnt_imm`, 4 to 65535 (this value is outside it)"}},
        {" wait 08^", {"no operand accepts this value"}},
        {" move 5, R^64", {"`R64` is not a register"}},
    };
    for (const auto& [text, shown] : cases) {
        const Annotations source(text);
        const auto found = hover(Document("file:///t.tasm", "t.tasm", source.text, 1), source.point());
        ASSERT_TRUE(found) << text;
        for (const std::string& part : shown) {
            const std::string markdown = found->contents.markdown();
            EXPECT_NE(markdown.find(part), std::string::npos) << text << "\n" << markdown;
        }
    }
    const Annotations source("# \xC3\xA9\xC3\xA9\nhere: [[wa^it]] 4   # a c^omment\n^\n");
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    const auto shown = hover(document, source.points[0]);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->range, source.ranges[0]);
    EXPECT_FALSE(hover(document, source.points[1]));
    EXPECT_FALSE(hover(document, source.points[2]));
}

} // namespace
} // namespace tarnasm::lsp
