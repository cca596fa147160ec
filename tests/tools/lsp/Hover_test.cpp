// Hover over annotated sources: what each kind of token shows.
#include "Hover.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

using test::Annotations;

TEST(Hover, ShowsWhatTheAssemblerKnows)
{
    struct Case
    {
        const char* source;
        std::vector<std::string> shown;
        std::vector<std::string> notShown;
    };
    const Case cases[] = {
        {"nop\nst^art: nop\n jmp @start", {"address 1 (0x1)", "line 2: `start: nop`"}, {}},
        {"nop\nstart: nop\n jmp @st^art", {"address 1 (0x1)", "line 2: `start: nop`"}, {}},
        {" jmp @nowh^ere", {"label `nowhere` is not defined"}, {}},
        {".DEF N 0x10\n wait $^N", {"**$N** = `0x10` = 16 (0x10)", "line 1: `.DEF N 0x10`"}, {}},
        {".DEF ACC R5\n move 1, $A^CC", {"= `R5`"}, {"= 5"}},
        {".DEF ^N 4", {"**$N** = `4` = 4 (0x4)"}, {}},
        {" mo^ve 5, R1",
         {"`move #, R#` opcode 7, select 1", "- `alu_src_imm`: immediate 0 to 4294967295, bits ",
          "`move R#, R#` opcode 7, select 0", "- `alu_dst_reg`: register R0 to R63"},
         {}},
        {" mvoe^ 5, R1", {"`mvoe` is not a mnemonic"}, {}},
        // The operand's range comes from the variants that fit the other operands written.
        {" add R1, 0^x1F, R2", {"= 31 (0x1f)", "operand 2 of `add`: `alu_rgt_imm`, 0 to 4294967295"}, {"outside"}},
        {" set_freq -^16", {"= -16 (-0x10)", "`seq_nco_freq_imm`, -2147483648 to 2147483647"}, {}},
        {" wait ^2", {"= 2 (0x2)", "`seq_cnt_imm`, 4 to 65535 (this value is outside it)"}, {}},
        {" wait 08^", {"no operand accepts this value"}, {}},
        {" move 5, R^17", {"**R17**: register 17"}, {}},
        {" move 5, R^64", {"`R64` is not a register"}, {}},
        {"^.DEF N 4", {"defines the symbol `$name`"}, {}},
    };
    for (const Case& c : cases) {
        const Annotations source(c.source);
        const Document document("file:///t.tasm", "t.tasm", source.text, 1);
        const auto shown = hover(document, source.point());
        ASSERT_TRUE(shown) << c.source;
        for (const std::string& text : c.shown) {
            EXPECT_NE(shown->markdown.find(text), std::string::npos) << c.source << "\n" << shown->markdown;
        }
        for (const std::string& text : c.notShown) {
            EXPECT_EQ(shown->markdown.find(text), std::string::npos) << c.source << "\n" << shown->markdown;
        }
    }
}

TEST(Hover, RangeIsTheTokenAndNothingElseAnswers)
{
    const Annotations source("# \xC3\xA9\xC3\xA9\nhere: [[wa^it]] 4   # a c^omment\n^\n");
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    const auto shown = hover(document, source.points[0]);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->range, source.ranges[0]);
    EXPECT_FALSE(hover(document, source.points[1]));
    EXPECT_FALSE(hover(document, source.points[2]));
    EXPECT_FALSE(hover(document, {7, 0}));
    EXPECT_FALSE(hover(document, {0, 1000}));
}

} // namespace
} // namespace tarnasm::lsp
