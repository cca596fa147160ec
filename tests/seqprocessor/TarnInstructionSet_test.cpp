// Tests of the built-in instruction set: its shape, example encodings and a round trip over every variant.
#include "seqprocessor/TarnInstructionSet.h"

#include <gtest/gtest.h>

#include <bit>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

const SeqInstructionSet& tarn()
{
    static const SeqInstructionSet set = seq_instr_set();
    return set;
}

unsigned long long encode(const std::string& mnemonic, const std::string& signature,
                          std::initializer_list<long long> values)
{
    auto def = tarn().find(mnemonic, signature);
    EXPECT_TRUE(def) << mnemonic << ' ' << signature;
    if (!def) {
        return 0;
    }
    unsigned long long word = 0;
    tarn().writeBaseFields(word, *def);
    unsigned int i = 0;
    for (long long v : values) {
        EXPECT_TRUE(def->getArg(i++)->setValue(word, v)) << mnemonic << " value " << v;
    }
    return word;
}

} // namespace

TEST(TarnInstructionSet, Shape)
{
    unsigned short major = 9, minor = 9;
    tarn().getVersion(major, minor);
    EXPECT_TRUE(major == 1 && minor == 0);
    EXPECT_EQ(36u, tarn().fieldTable().size());
    EXPECT_EQ(64u, tarn().argumentTable().size());
    EXPECT_EQ(42u, tarn().size());

    for (unsigned int opcode = 0; opcode < 42; ++opcode) {
        EXPECT_TRUE(tarn().find(opcode)) << opcode;
    }
}

TEST(TarnInstructionSet, ExampleWords)
{
    EXPECT_EQ(0x0400000000000000ULL, encode("stop", "", {}));
    EXPECT_EQ(0x0E00190000000000ULL, encode("jmp", "#", {100}));
    EXPECT_EQ(0x0C0001C000000000ULL, encode("jmp", "R#", {7}));
    EXPECT_EQ(0x1E0000C000000005ULL, encode("move", "#,R#", {5, 3}));
    EXPECT_EQ(0x220000810000000AULL, encode("add", "R#,#,R#", {1, 10, 2}));
    EXPECT_EQ(0x6A00C80000000801ULL, encode("play", "#,#,#", {1, 2, 100}));
    EXPECT_EQ(0x4E000000FFFFFFFFULL, encode("set_freq", "#", {-1}));
}

TEST(TarnInstructionSet, FindVariants)
{
    EXPECT_EQ("illegal", tarn().findForBinary(0)->mnemonic());
    auto jmp = tarn().findForBinary((3ULL << 58) | (1ULL << 57));
    ASSERT_TRUE(jmp);
    EXPECT_EQ("ins_adr_imm", jmp->getArg(0)->name());
    EXPECT_FALSE(tarn().findForBinary(25ULL << 58)); // upd_param has only select 1
    EXPECT_FALSE(tarn().findForBinary(42ULL << 58));
    EXPECT_EQ(0u, tarn().find("jge", "R#,#,R#")->select());
    EXPECT_FALSE(tarn().find("jge", "R#,R#,R#"));
    EXPECT_EQ("stop", tarn().find("stop", "")->mnemonic());
    EXPECT_EQ(tarn().find("wait", "#"), tarn().find(29u, 1u));
    EXPECT_FALSE(tarn().find(29u, 2u));
}

// Every variant, with every operand at its minimum and then at its maximum,
// encodes to a word that decodes to the same variant and values.
class TarnRoundTrip : public testing::TestWithParam<SeqInstructionSet::DefPtr>
{
};

TEST_P(TarnRoundTrip, MinAndMax)
{
    const SeqInstructionDef& def = *GetParam();
    for (bool useMax : {false, true}) {
        unsigned long long word = 0;
        unsigned long long used = tarn().opcodeField()->bitPattern() | tarn().selectField()->bitPattern();
        tarn().writeBaseFields(word, def);
        for (const auto& arg : def.arguments()) {
            ASSERT_TRUE(arg->setValue(word, useMax ? arg->maxValue() : arg->minValue())) << arg->name();
            used |= arg->field()->bitPattern();
        }
        EXPECT_EQ(0ULL, word & ~used) << "bits outside the variant's fields";
        ASSERT_EQ(GetParam(), tarn().findForBinary(word));
        for (const auto& arg : def.arguments()) {
            const long long value = useMax ? arg->maxValue() : arg->minValue();
            // A negative value reads back as value + 2^width.
            const int width = std::popcount(arg->field()->range());
            const unsigned long long expected = static_cast<unsigned long long>(value < 0 ? value + (1LL << width) : value);
            EXPECT_EQ(expected, arg->getValue(word)) << arg->name() << (useMax ? " max" : " min");
        }
    }
}

namespace {

std::vector<SeqInstructionSet::DefPtr> allVariants()
{
    std::vector<SeqInstructionSet::DefPtr> defs;
    for (const SeqInstructionVariations& v : tarn()) {
        for (const SeqInstructionDef& def : v) {
            defs.push_back(v.find(static_cast<unsigned int>(def.select())));
        }
    }
    return defs;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(AllVariants, TarnRoundTrip, testing::ValuesIn(allVariants()),
                         [](const testing::TestParamInfo<SeqInstructionSet::DefPtr>& info) {
                             return info.param->mnemonic() + "_" + std::to_string(info.param->select());
                         });
