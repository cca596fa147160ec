// Tests of decode and disassemble: every variant over its whole operand ranges, and the words
// that are no instruction.
#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

/// Random operand values across the whole range, with both ends drawn often.
std::int64_t randomValue(std::mt19937_64& random, const tarnasm::OperandInfo& operand)
{
    switch (random() % 8) {
    case 0: return operand.minimum;
    case 1: return operand.maximum;
    default: return std::uniform_int_distribution<std::int64_t>(operand.minimum, operand.maximum)(random);
    }
}

/// Lines of random instructions of every variant in turn, written as disassemble writes them.
std::string randomProgram(std::mt19937_64& random, size_t instructions)
{
    const auto variants = tarnasm::instructionSet();
    std::string text;
    for (size_t i = 0; i < instructions; ++i) {
        const tarnasm::Variant& variant = variants[i % variants.size()];
        text += variant.mnemonic;
        for (size_t k = 0; k < variant.operands.size(); ++k) {
            text += k == 0 ? " " : ", ";
            text += variant.operands[k].isRegister ? "R" : "";
            text += std::to_string(randomValue(random, variant.operands[k]));
        }
        text += '\n';
    }
    return text;
}

std::vector<std::uint64_t> wordsOf(const tarnasm::Program& program)
{
    return {program.words().begin(), program.words().end()};
}

} // namespace

TEST(Disassemble, EveryVariantAcrossItsRangesComesBackWordForWord)
{
    ASSERT_EQ(tarnasm::instructionSet().size(), 78u);
    std::mt19937_64 random(20261206);
    size_t checked = 0;
    while (checked < 100'000) {
        const std::string text = randomProgram(random, tarnasm::kInstructionMemoryWords);
        const tarnasm::Program program = tarnasm::assemble(text);
        ASSERT_TRUE(program.ok()) << program.report();
        const std::string back = tarnasm::disassemble(program.words());
        ASSERT_EQ(back, text);
        const tarnasm::Program again = tarnasm::assemble(back);
        ASSERT_TRUE(again.ok());
        ASSERT_EQ(wordsOf(again), wordsOf(program));
        checked += program.words().size();
    }
}

TEST(Decode, WordsThatAreNoInstruction)
{
    const std::uint64_t nop = tarnasm::assemble("nop").words()[0];
    const std::uint64_t wait4 = tarnasm::assemble("wait 4").words()[0];
    struct Case { std::uint64_t word; const char* problem; };
    const Case cases[] = {
        {0xFC00000000000000ull, "opcode 63 with select 0 is no instruction"},
        {nop | (1ull << 57), "opcode 2 with select 1 is no instruction"},
        {nop | 1, "bits 0x0000000000000001 are set outside the fields of nop \"\""},
        // seq_cnt_imm starts at 4: a field of 3 cannot have been assembled.
        {wait4 - 1, "wait operand 1 (seq_cnt_imm) value 3 is out of range (4,65535)"},
    };
    for (const Case& c : cases) {
        const tarnasm::DecodedWord decoded = tarnasm::decode(c.word);
        EXPECT_FALSE(decoded.ok());
        EXPECT_EQ(decoded.problem, c.problem);
        EXPECT_EQ(decoded.text(), "");
    }
    EXPECT_EQ(tarnasm::decode(0xFC00000000000000ull).opcode, 63u);

    // Every such word is named, with its address; no text is returned.
    const std::vector<std::uint64_t> words{nop, cases[0].word, nop, cases[2].word};
    try {
        tarnasm::disassemble(words);
        FAIL() << "no DisassemblyError";
    } catch (const tarnasm::DisassemblyError& e) {
        ASSERT_EQ(e.unknownWords().size(), 2u);
        EXPECT_EQ(e.unknownWords()[0].address, 1u);
        EXPECT_EQ(e.unknownWords()[1].address, 3u);
        EXPECT_EQ(std::string(e.what()), "2 words are not an instruction:\n"
                                         "  address 1: 0xfc00000000000000: opcode 63 with select 0 is no instruction\n"
                                         "  address 3: 0x0800000000000001: bits 0x0000000000000001 are set outside "
                                         "the fields of nop \"\"");
    }
    EXPECT_EQ(tarnasm::disassemble({}), "");
}
