// Tests of SeqAssembler: stored words and gaps, repeated runs on one error list, output files.
#include "SeqAssembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "VerifyAssembly.h"
#include "asmparser/AsmSyntax.h"
#include "seqprocessor/TarnInstructionSet.h"
#include "source/AsmError.h"
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

    int run(const std::string& source)
    {
        StringSourceReader reader(source, "t.tasm");
        return assembler.assemble(reader, errors);
    }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> texts;
        for (const auto& error : errors.errors()) {
            texts.push_back(error->what());
        }
        return texts;
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

std::string readFile(const fs::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

constexpr uint64_t stopWord = 0x0400000000000000;
constexpr uint64_t nopWord = 0x0800000000000000;

} // namespace

TEST(SeqAssembler, FailedInstructionsLeaveZeroWords)
{
    Assembly a;
    ASSERT_EQ(a.run(repeat("stop\n", 8)), 0);
    AsmErrorList errors;
    StringSourceReader reader("nop\nwait 3\nwait 2\nstop\nnop\nset_mrk 16\n", "t.tasm");
    EXPECT_EQ(a.assembler.assemble(reader, errors), 3);
    std::vector<int> lines;
    for (const auto& error : errors.errors()) {
        lines.push_back(error->lineNr());
    }
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 6}));
    const std::vector<uint64_t> expected = {nopWord, 0, 0, stopWord, nopWord, 0, 0, 0};
    for (unsigned int address = 0; address < expected.size(); ++address) {
        EXPECT_EQ(a.processor.readInstructionMem(address), expected[address]) << "address " << address;
    }
    EXPECT_EQ(a.assembler.getUsedInstructionWords(), 5u);
}

TEST(SeqAssembler, ProgramFillsMemoryExactly)
{
    Assembly full;
    EXPECT_EQ(full.run(repeat("nop\n", 16384)), 0);
    verifyAssembly(full.assembler, full.processor);

    Assembly over;
    EXPECT_EQ(over.run(repeat("nop\n", 16385)), 1);
    EXPECT_EQ(over.messages(), std::vector<std::string>{"Program too long (16385). Maximum 16384 instructions"});
}

TEST(SeqAssembler, RepeatedRunsOnOneErrorList)
{
    // Errors found after parsing are reported once: later runs see a non-empty list and stop.
    Assembly range;
    EXPECT_EQ(range.run("nop\nwait 3\nset_mrk 16\n"), 2);
    EXPECT_EQ(range.processor.readInstructionMem(0), nopWord);
    EXPECT_EQ(range.run("nop\nwait 3\nset_mrk 16\n"), 2);
    EXPECT_EQ(range.processor.readInstructionMem(0), 0u);

    // The parser's own errors are added by every run.
    Assembly syntax;
    EXPECT_EQ(syntax.run("nop\n^\nfoo^\n"), 2);
    EXPECT_EQ(syntax.run("nop\n^\nfoo^\n"), 4);

    Assembly none(0);
    EXPECT_EQ(none.run("nop\n"), 1);
    EXPECT_EQ(none.messages(),
              std::vector<std::string>{"Can not assemble source: No instruction memory defined."});
}

TEST(SeqAssembler, TimersOfTheLastRun)
{
    Assembly a;
    auto names = [&a] {
        std::vector<std::string> list;
        for (const auto& watch : a.assembler.getTimers().watches()) {
            list.push_back(watch->name());
        }
        return list;
    };
    a.run("nop\nstop\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"parse", "assemble"}));
    a.run("^\n");
    EXPECT_EQ(names(), std::vector<std::string>{"parse"});
}

TEST(SeqAssembler, ArgumentOfNoKindIsReported)
{
    // The parser always marks an argument; a host that builds instructions itself may not.
    Assembly a;
    auto line = std::make_shared<SourceLine>("set_mrk x", 4, std::make_shared<const std::string>("t.tasm"));
    AsmInstruction instruction{AsmToken(line, 0, 7)};
    instruction.addArg(std::make_shared<AsmArgument>(AsmToken(line, 8, 1)));
    try {
        a.assembler.assembleInstruction(instruction);
        FAIL() << "no error thrown";
    } catch (const AsmSyntaxError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "t.tasm:4:8: Syntax error: Could not determine signature type for argument number 1: "
                  "registerName=? (ASCII=0) argument string value='x': \nset_mrk x\n--------^\n");
    }
}

TEST(SeqAssembler, StoredWordsAndHexText)
{
    Assembly a;
    a.assembler.writeInstructionMem(0, 1ull << 63);
    a.assembler.writeInstructionMem(3, 0xab);
    EXPECT_THROW(a.assembler.writeInstructionMem(16384, 1), SeqProcMemoryError);
    EXPECT_EQ(a.assembler.getUsedInstructionWords(), 4u);
    std::ostringstream hex;
    EXPECT_TRUE(a.assembler.printHexOutput(hex));
    EXPECT_EQ(hex.str(), "8000000000000000\n0000000000000000\n0000000000000000\n00000000000000ab\n");
}

TEST(SeqAssembler, Disassembly)
{
    Assembly a;
    ASSERT_EQ(a.run("add R1, 10, R2\nmove 5, R3\n"), 0);
    a.assembler.writeInstructionMem(2, 42ull << 58);
    a.assembler.writeInstructionMem(3, stopWord | 1ull << 57);
    std::ostringstream text;
    EXPECT_EQ(a.assembler.disassemble(text), 2);
    EXPECT_EQ(text.str(),
              "0:      add         R1, 0xa, R2\n"
              "1:      move        0x5, R3\n"
              "2:      UNKNOWN_opcode_42\n"
              "3:      stop_UNKNOWN_select_1\n");
}

TEST(SeqAssembler, HexFileReplacedOnlyWhenComplete)
{
    const fs::path dir =
        fs::temp_directory_path() / ("seqassembler_test_" + std::to_string(std::random_device{}()));
    fs::remove_all(dir);
    fs::create_directories(dir / "taken.hex");
    Assembly a;
    ASSERT_EQ(a.run("stop\n"), 0);
    {
        std::ofstream old(dir / "prog.hex");
        old << "old contents\n";
    }
    EXPECT_TRUE(a.assembler.saveHexOutput((dir / "prog.hex").string()));
    EXPECT_EQ(readFile(dir / "prog.hex"), "0400000000000000\n");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(a.assembler.saveHexOutput((dir / "taken.hex").string()));
    EXPECT_FALSE(a.assembler.saveHexOutput((dir / "missing" / "x.hex").string()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: could not write file " + (dir / "taken.hex").string() + "\n" +
                  "ERROR: could not open file " + (dir / "missing" / "x.hex").string() + " for writing\n");
    EXPECT_TRUE(fs::is_directory(dir / "taken.hex"));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"prog.hex", "taken.hex"}));
    fs::remove_all(dir);
}
