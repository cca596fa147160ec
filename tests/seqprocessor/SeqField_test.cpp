// Tests of bit fields: range and pattern at the word's edges, reading and writing without spilling.
#include "seqprocessor/SeqField.h"

#include <gtest/gtest.h>

TEST(SeqField, GeometryAtTheWordsEdges)
{
    struct Case { unsigned int msb, lsb; unsigned long long range, pattern; } const cases[] = {
        {57, 57, 1, 1ULL << 57},
        {63, 58, 63, 0xFC00000000000000ULL},
        {63, 0, ~0ULL, ~0ULL},
        {62, 0, ~0ULL >> 1, ~0ULL >> 1},
        {200, 64, 0, 0}, // beyond the word: no bits
    };
    for (const Case& c : cases) {
        SeqField f(1, "F", c.msb, c.lsb);
        EXPECT_EQ(c.range, f.range()) << c.msb << ':' << c.lsb;
        EXPECT_EQ(c.pattern, f.bitPattern()) << c.msb << ':' << c.lsb;
        EXPECT_EQ(c.range == ~0ULL, f.isInRange(~0ULL));
    }
}

TEST(SeqField, WritesStayInsideTheField)
{
    const SeqField imm(0, "IMM", 31, 0);
    unsigned long long word = 0x1234567800000000ULL;
    imm.setfast(word, static_cast<unsigned long long>(-1LL));
    EXPECT_EQ(0x12345678FFFFFFFFULL, word);
    EXPECT_FALSE(imm.isInRange(static_cast<unsigned long long>(-1LL)));
    const SeqField select(21, "SELECT", 57, 57);
    EXPECT_FALSE(select.set(word, 2));
    EXPECT_EQ(0x12345678FFFFFFFFULL, word);

    const SeqField outside(2, "OUT", 70, 64);
    word = 5;
    outside.setfast(word, ~0ULL);
    EXPECT_EQ(5ULL, word);
    EXPECT_EQ(0ULL, outside.get(word));
}
