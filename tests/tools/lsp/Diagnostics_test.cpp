// Diagnostics: report entries at their carets, in UTF-16 positions.
#include "Diagnostics.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

using test::Annotations;

TEST(Diagnostics, RangesCountUtf16)
{
    // The emoji is four bytes and two UTF-16 code units; the é before it two bytes and one unit.
    const Annotations source("nop # \xC3\xA9\n\xC3\xA9: nop\r\n  wait [[\xF0\x9F\x98\x80]], 5\n");
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    const auto found = diagnostics(document);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].range, source.ranges[0]);
    EXPECT_EQ(found[1].message, "Syntax error: AsmParser: spurious characters after statement");
}

TEST(Diagnostics, OneEntryWithSeveralPlacesMarksTheLastAndRelatesTheOthers)
{
    const Annotations source("again:  nop\nagain:  nop\n[[again]]:\n        jmp @nowhere\n");
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    const auto found = diagnostics(document);
    ASSERT_EQ(found.size(), 3u); // each repetition pairs with the first definition
    EXPECT_EQ(found[1].range, source.ranges[0]);
    EXPECT_EQ(found[1].message, "Duplicate address label: again. ");
    ASSERT_EQ(found[1].related.size(), 1u);
    EXPECT_EQ(found[1].related[0].location.range, (Range{{0, 0}, {0, 5}}));
    EXPECT_TRUE(diagnostics(Document("file:///t.tasm", "t.tasm", "nop\n", 1)).empty());
}

} // namespace
} // namespace tarnasm::lsp
