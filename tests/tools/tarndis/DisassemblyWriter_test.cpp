// DisassemblyWriter: corpus programs and random words of every variant come back word for word.
#include "DisassemblyWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>

namespace {

std::string text(const tarndis::DisassemblyWriter& writer)
{
    std::ostringstream out;
    writer.write(out, "test.hex");
    return out.str();
}

/// tarndis's text for the words assembles into exactly these words again.
void expectRoundTrip(std::span<const std::uint64_t> words, const std::string& what)
{
    const tarndis::DisassemblyWriter writer(words);
    EXPECT_TRUE(writer.unknownWords().empty()) << what;
    const tarnasm::Program again = tarnasm::assemble(text(writer), what);
    ASSERT_TRUE(again.ok()) << what << ": " << again.report();
    EXPECT_TRUE(std::equal(words.begin(), words.end(), again.words().begin(), again.words().end())) << what;
}

TEST(DisassemblyWriter, CorpusProgramsRoundTrip)
{
    int programs = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TARNASM_CORPUS)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("ok_") && name.ends_with(".tasm")) {
            const tarnasm::Program program = tarnasm::assembleFile(entry.path());
            ASSERT_TRUE(program.ok()) << program.report();
            expectRoundTrip(program.words(), name);
            ++programs;
        }
    }
    EXPECT_GE(programs, 8);
}

/// Either end of the range, any value, or for an address one inside or just past the program.
std::int64_t randomValue(const tarnasm::OperandInfo& operand, std::int64_t size, std::mt19937_64& random)
{
    const std::int64_t high = operand.isAddress() && random() % 2 ? std::min(size, operand.maximum) : operand.maximum;
    const auto choice = random() % 4;
    return choice == 0 ? operand.minimum
                       : choice == 1 ? high : std::uniform_int_distribution(operand.minimum, high)(random);
}

TEST(DisassemblyWriter, RandomWordsOfEveryVariantRoundTrip)
{
    const auto variants = tarnasm::instructionSet();
    ASSERT_EQ(78u, variants.size());
    std::mt19937_64 random(14);
    std::size_t total = 0;
    // Small programs put many address operands past their end, big ones inside.
    for (const std::int64_t size : {1, 2, 5, 40, 700, 16384, 16384, 16384, 16384, 16384, 16384, 16384}) {
        std::string source;
        std::vector<std::pair<const tarnasm::Variant*, std::vector<std::int64_t>>> expected;
        for (std::int64_t i = 0; i < size; ++i) {
            const tarnasm::Variant& variant = variants[(total + static_cast<std::size_t>(i)) % variants.size()];
            std::vector<std::int64_t> values;
            source += variant.mnemonic;
            for (const tarnasm::OperandInfo& operand : variant.operands) {
                values.push_back(randomValue(operand, size, random));
                source += (values.size() == 1 ? " " : ", ") + std::string(operand.isRegister ? "R" : "") +
                          std::to_string(values.back());
            }
            source += '\n';
            expected.emplace_back(&variant, std::move(values));
        }
        const tarnasm::Program program = tarnasm::assemble(source);
        ASSERT_TRUE(program.ok()) << program.report();
        // The values come back from the words as they were written, signed ones negative.
        for (std::size_t address = 0; address < expected.size(); ++address) {
            const tarnasm::DecodedWord decoded = tarnasm::decode(program.words()[address]);
            ASSERT_TRUE(decoded.ok() && decoded.variant == expected[address].first) << decoded.problem;
            ASSERT_EQ(expected[address].second, decoded.operands) << decoded.variant->mnemonic;
        }
        expectRoundTrip(program.words(), "random program of " + std::to_string(size) + " words");
        total += expected.size();
    }
    EXPECT_GE(total, 100000u);
}

} // namespace
