// Diagnostics: an entry of several places marks the last and relates the others.
#include "Diagnostics.h"

#include "Annotations.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tarnasm::lsp {
namespace {

TEST(Diagnostics, OneEntryWithSeveralPlacesMarksTheLastAndRelatesTheOthers)
{
    const test::Annotations source("again:  nop\nagain:  nop\n[[again]]:\n        jmp @nowhere\n");
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    const auto found = diagnostics(document);
    ASSERT_EQ(found.size(), 3u); // each repetition pairs with the first definition
    EXPECT_EQ(found[1].range, source.ranges[0]);
    EXPECT_EQ(found[1].message, "Duplicate address label: again. ");
    ASSERT_EQ(found[1].related.size(), 1u);
    EXPECT_EQ(found[1].related[0].location.range, (Range{{0, 0}, {0, 5}}));
    EXPECT_EQ(found[1].related[0].message, "first defined here");
    // The report keeps its trailing blank; the protocol's message ends with the words.
    EXPECT_EQ(toJson(found[1])["message"], "Duplicate address label: again.");
    EXPECT_EQ(found[1].code, "duplicate-label");
    EXPECT_EQ(found[2].code, "undefined-label");
    EXPECT_TRUE(diagnostics(Document("file:///t.tasm", "t.tasm", "nop\n", 1)).empty());
}

TEST(Diagnostics, AnUnresolvedLabelDoesNotHideTheErrorsAfterIt)
{
    const Document document("file:///t.tasm", "t.tasm", "        jmp @nowhere\n        frobnicate\n", 1);
    const auto found = diagnostics(document);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].code, "unknown-mnemonic");
}

} // namespace
} // namespace tarnasm::lsp
