// Tests of SeqAssembler: many labels, a full memory, stored words shown back, output files.
#include "SeqAssembler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "asmparser/AsmSyntax.h"
#include "seqprocessor/SeqProcessor.h"
#include "seqprocessor/TarnInstructionSet.h"
#include "source/AsmErrorList.h"
#include "source/SourceReader.h"
#include "support/Logging.h"

namespace fs = std::filesystem;

namespace {

struct Assembly
{
    explicit Assembly(unsigned int words = 16384) : processor(seq_instr_set(), words, 64)
    {
        Logging::setLogLevel(Logging::ERROR);
    }

    /// Runs on a fresh error list.
    int run(const std::string& source)
    {
        errors = AsmErrorList();
        StringSourceReader reader(source, "t.tasm");
        return assembler.assemble(reader, errors);
    }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> texts;
        for (const auto& error : errors.errors()) {
            texts.push_back(std::to_string(error->lineNr()) + " " + error->what());
        }
        return texts;
    }

    std::vector<uint64_t> words(unsigned int count) const
    {
        std::vector<uint64_t> list;
        for (unsigned int address = 0; address < count; ++address) {
            list.push_back(processor.readInstructionMem(address));
        }
        return list;
    }

    SeqProcessor processor;
    SeqAssembler assembler{&processor, AsmSyntax()};
    AsmErrorList errors;
};

std::string repeat(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += line;
    }
    return text;
}

constexpr uint64_t stopWord = 0x0400000000000000;
constexpr uint64_t nopWord = 0x0800000000000000;

} // namespace

TEST(SeqAssembler, ThousandsOfLabelsResolve)
{
    // Enough labels to put many names on shared probe chains of the label table.
    const int count = 3000;
    std::string source;
    std::vector<uint64_t> expected;
    for (int i = 0; i < count; ++i) {
        const int target = (i * 7 + 11) % count;  // forward and backward
        source += "L" + std::to_string(i) + ": jmp @L" + std::to_string(target) + "\n";
        expected.push_back(0x0E00000000000000 | (static_cast<uint64_t>(target) << 38));
    }
    Assembly a;
    ASSERT_EQ(a.run(source), 0);
    EXPECT_EQ(a.words(count), expected);

    EXPECT_EQ(a.run(source + "L2999:\njmp @L3000\n"), 2);
    const auto messages = a.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].substr(0, 29), "3000 t.tasm:3000:0: Duplicate");
    EXPECT_EQ(messages[1].substr(0, 30), "3002 t.tasm:3002:5: Unresolved");
}

TEST(SeqAssembler, ProgramFillsMemoryExactly)
{
    Assembly a;
    EXPECT_EQ(a.run(repeat("nop\n", 16384)), 0);  // one word more: checked end to end
    EXPECT_EQ(a.assembler.getUsedInstructionWords(), 16384u);
    EXPECT_EQ(a.words(16384), std::vector<uint64_t>(16384, nopWord));

    Assembly none(0);
    EXPECT_EQ(none.run("nop\n"), 1);
    EXPECT_EQ(none.messages(),
              std::vector<std::string>{"0 Can not assemble source: No instruction memory defined."});
}

TEST(SeqAssembler, StoredWordsDisassembleAndPrintAsHex)
{
    Assembly a;
    ASSERT_EQ(a.run("add R1, 10, R2\n"), 0);
    a.assembler.writeInstructionMem(3, 42ull << 58);
    a.assembler.writeInstructionMem(4, stopWord | 1ull << 57);
    EXPECT_THROW(a.assembler.writeInstructionMem(16384, 1), SeqProcMemoryError);
    std::ostringstream text;
    EXPECT_EQ(a.assembler.disassemble(text), 2);
    EXPECT_EQ(text.str(),
              "0:      add         R1, 0xa, R2\n"
              "1:      illegal\n2:      illegal\n"
              "3:      UNKNOWN_opcode_42\n"
              "4:      stop_UNKNOWN_select_1\n");
    std::ostringstream hex;
    EXPECT_TRUE(a.assembler.printHexOutput(hex));
    EXPECT_EQ(hex.str(), "220000810000000a\n0000000000000000\n0000000000000000\n"
                         "a800000000000000\n0600000000000000\n");
}

TEST(SeqAssembler, FailedHexWriteLeavesNoTrace)
{
    const fs::path dir =
        fs::temp_directory_path() / ("seqassembler_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir / "taken.hex");
    Assembly a;
    ASSERT_EQ(a.run("stop\n"), 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(a.assembler.saveHexOutput((dir / "taken.hex").string()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: could not write file " + (dir / "taken.hex").string() + "\n");
    EXPECT_TRUE(fs::is_directory(dir / "taken.hex"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}
