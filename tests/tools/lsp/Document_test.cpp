// Document: UTF-16 columns and incremental edits.
#include "Document.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

TEST(Document, Utf16Columns)
{
    // a, é (2 bytes), 😀 (4 bytes, a surrogate pair), b; a stray continuation byte counts once.
    const Document document("u", "n", "a\xC3\xA9\xF0\x9F\x98\x80" "b\x80z", 1);
    const struct
    {
        std::size_t byte;
        int character;
    } columns[] = {{0, 0}, {1, 1}, {3, 2}, {7, 4}, {8, 5}, {9, 6}, {10, 7}};
    for (const auto& c : columns) {
        EXPECT_EQ(document.character(0, c.byte), c.character) << c.byte;
        EXPECT_EQ(document.byteColumn(0, c.character), c.byte) << c.character;
    }
    EXPECT_EQ(document.byteColumn(0, 3), 3u);    // inside the surrogate pair: its start
    EXPECT_EQ(document.byteColumn(0, 1000), 10u); // beyond the line: its end
    EXPECT_EQ(document.byteColumn(9, 1), 1u);     // beyond the document: the last line
}

TEST(Document, IncrementalChanges)
{
    Document document("u", "n", "start: nop\n  jmp @start\n", 1);
    const struct
    {
        Range range;
        const char* text;
        const char* expected;
    } changes[] = {
        {{{0, 0}, {0, 5}}, "go", "go: nop\n  jmp @start\n"},
        {{{1, 7}, {1, 12}}, "go", "go: nop\n  jmp @go\n"},
        {{{0, 7}, {1, 2}}, "\xF0\x9F\x98\x80", "go: nop\xF0\x9F\x98\x80jmp @go\n"},
        {{{0, 9}, {0, 9}}, "#", "go: nop\xF0\x9F\x98\x80#jmp @go\n"},
        {{{5, 0}, {9, 9}}, "stop\n", "go: nop\xF0\x9F\x98\x80#jmp @go\nstop\n"},
        {{{1, 0}, {0, 0}}, "", "stop\n"},
    };
    for (const auto& c : changes) {
        document.applyChange({c.range, c.text});
        EXPECT_EQ(document.text(), c.expected);
    }
    EXPECT_TRUE(document.program().ok());
    document.applyChange({std::nullopt, "frob"});
    EXPECT_EQ(document.text(), "frob");
    EXPECT_FALSE(document.program().ok());
}

} // namespace
} // namespace tarnasm::lsp
