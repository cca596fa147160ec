// Tests of argument kinds: the max-below-min rule, range edges, two's complement storage and table errors.
#include "seqprocessor/SeqArgument.h"

#include "seqprocessor/ErrorText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const SeqArgumentTable& table()
{
    static const SeqArgumentTable t(
        {{0, "IMM", 31, 0}, {1, "WAVE", 9, 0}, {2, "COUNT", 56, 41}, {3, "FLAG", 0, 0}, {4, "REG", 5, 0}},
        {{0, "wave_imm", "", 1, 0, -1}, {1, "freq_imm", "", 0, -2147483647 - 1, 2147483647},
         {2, "cnt_imm", "", 2, 4, -1}, {3, "flag_imm", "", 3, 0, 1}, {4, "src_reg", "R", 4, 0, 63},
         {5, "odd_reg", "1R", 4, 0, 63}, {6, "delay_imm", "", 1, 0, -1024}});
    return t;
}

} // namespace

TEST(SeqArgument, Ranges)
{
    struct Case { const char* name; long long min, max; } const cases[] = {
        {"wave_imm", 0, 1023},   {"freq_imm", -2147483648LL, 2147483647}, {"cnt_imm", 4, 65535},
        {"flag_imm", 0, 1},      {"src_reg", 0, 63},                       {"delay_imm", 0, 1023},
    };
    for (const Case& c : cases) {
        auto arg = table().find(c.name);
        ASSERT_TRUE(arg) << c.name;
        EXPECT_EQ(c.min, arg->minValue()) << c.name;
        EXPECT_EQ(c.max, arg->maxValue()) << c.name;
        unsigned long long word = 0x5555;
        EXPECT_FALSE(arg->setValue(word, c.min - 1)) << c.name;
        EXPECT_FALSE(arg->setValue(word, c.max + 1)) << c.name;
        EXPECT_EQ(0x5555ULL, word) << c.name;
        EXPECT_TRUE(arg->setValue(word, c.min)) << c.name;
        EXPECT_EQ(c.min < 0 ? 0x80000000ULL : static_cast<unsigned long long>(c.min), arg->getValue(word)) << c.name;
    }
}

TEST(SeqArgument, RegisterNeedsLetterPrefix)
{
    std::ostringstream text;
    text << *table().find("odd_reg");
    EXPECT_EQ("odd_reg(1R#)", text.str());
    EXPECT_TRUE(table().find("src_reg")->isRegister());
    EXPECT_FALSE(table().find("wave_imm")->isRegister() || table().find("odd_reg")->isRegister());
}

TEST(SeqArgumentTable, MissingField)
{
    SeqArgumentTable t({{0, "IMM", 31, 0}}, {{0, "a_imm", "", 0, 0, -1}});
    EXPECT_EQ("SeqArgumentTable: Argument with Id=7 (name=\"b_imm\"): could not find SeqField with fieldId=9",
              errorText<SeqProcInstructionTableError>([&] { t.add({7, "b_imm", "", 9, 0, -1}); }));
    EXPECT_EQ(1u, t.size());
    EXPECT_FALSE(t.find(7u));
}
