// Runs of the real executable on hostile input: exit status, report, output files and peak memory.
#include "common/Fifo.h"
#include "common/RunTool.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

/// The sanitizers' shadow memory and quarantine say nothing about the tool's own memory.
constexpr bool sanitized = TARNASM_SANITIZED;

const std::string oldHex = "0123456789abcdef\n";

using testfiles::Outcome;
using testfiles::readFile;
using testfiles::writeFile;

Outcome runTool(const fs::path& dir, const std::vector<std::string>& args)
{
    return testfiles::runTool(TARNASM_EXECUTABLE, dir, args);
}

class HostileInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Big inputs get pages of their own that go back to the system when freed, so the
        // children forked later do not start out with them.
        mallopt(M_MMAP_THRESHOLD, 1 << 20);
        dir_ = fs::path(TARNASM_SCRATCH) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    // Inputs run to a hundred megabytes: nothing stays behind.
    void TearDown() override { fs::remove_all(dir_); }

    /// The tool on one input file, with out.hex holding an earlier program.
    Outcome assemble(const std::string& name, std::string source, bool boundedMemory = true)
    {
        writeFile(dir_ / name, source);
        writeFile(dir_ / "out.hex", oldHex);
        const size_t bytes = source.size();
        const auto lines = static_cast<size_t>(std::count(source.begin(), source.end(), '\n'));
        std::string().swap(source);
        Outcome outcome = runTool(dir_, {"-o", "out", name});
        EXPECT_EQ(std::string::npos, outcome.log.find("Sanitizer")) << outcome.log.substr(0, 2000);
        EXPECT_EQ(std::string::npos, outcome.log.find("runtime error:")) << outcome.log.substr(0, 2000);
        // The report goes through "%s" log lines: a NUL would have cut it.
        EXPECT_EQ(std::string::npos, outcome.log.find('\0'));
        if (boundedMemory) {
            checkMemory(outcome, bytes, lines);
        }
        return outcome;
    }

    /// A failed run names its cause, leaves the earlier out.hex as it was and no file of its own.
    Outcome expectFailure(const std::string& name, std::string source, int status, const std::string& text)
    {
        Outcome outcome = assemble(name, std::move(source));
        EXPECT_EQ(status, outcome.status) << name;
        EXPECT_NE(std::string::npos, outcome.log.find(text)) << name << ": " << outcome.log.substr(0, 2000);
        EXPECT_EQ(oldHex, readFile(dir_ / "out.hex")) << name;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string file = entry.path().filename();
            EXPECT_TRUE(file == name || file == "out.hex") << name << " left " << file;
        }
        return outcome;
    }

    /// A successful run writes the words of the reference program.
    void expectSameWords(std::string source, const std::string& reference)
    {
        const Outcome outcome = assemble("in.tasm", std::move(source));
        EXPECT_EQ(0, outcome.status) << outcome.log.substr(0, 2000);
        const std::string words = readFile(dir_ / "out.hex");
        writeFile(dir_ / "ref.tasm", reference);
        ASSERT_EQ(0, runTool(dir_, {"-o", "ref", "ref.tasm"}).status);
        EXPECT_EQ(readFile(dir_ / "ref.hex"), words);
        for (const char* file : {"in.tasm", "ref.tasm", "ref.hex"}) {
            fs::remove(dir_ / file);
        }
    }

    /// On top of what an empty run takes, peak memory stays within a small multiple of the input
    /// and a few hundred bytes for each line that the run keeps (a statement or an error).
    void checkMemory(const Outcome& outcome, size_t bytes, size_t lines)
    {
        if (sanitized) {
            return;
        }
        static const long baseKb = [this] {
            writeFile(dir_ / "empty.tasm", "");
            const long kb = runTool(dir_, {"-o", "empty", "empty.tasm"}).peakKb;
            fs::remove(dir_ / "empty.tasm");
            fs::remove(dir_ / "empty.hex");
            return kb;
        }();
        const auto limitKb = static_cast<long>(baseKb + (8 * bytes + 384 * lines) / 1024 + 2048);
        EXPECT_LE(outcome.peakKb, limitKb) << "peak " << outcome.peakKb << " KB for " << bytes << " bytes";
    }

    fs::path dir_;
};

std::string repeat(const std::string& text, size_t times)
{
    std::string result;
    result.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

}  // namespace

TEST_F(HostileInput, RandomBytes)
{
    std::mt19937 random(8);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    expectFailure("random.tasm", std::move(bytes), 255, "assembler failed with ");
}

TEST_F(HostileInput, NulBytesAtStartInsideAndEndOfLines)
{
    using namespace std::string_literals;
    const std::string source = "\0nop\n"s + "n\0op\n"s + "nop\0\n"s + "jmp 1\0\n"s + "nop # c\0c\n"s + "\0"s;
    expectFailure("nul.tasm", source, 5, "assembler failed with 5 errors:\nnul.tasm:1:0: Syntax error: "
                                         "AsmParser: spurious characters after statement: \n?nop\n^^^^\n");
}

TEST_F(HostileInput, HighBytesInLabelsArgumentsAndComments)
{
    std::string source;
    for (int byte = 128; byte < 256; ++byte) {
        const std::string c(1, static_cast<char>(byte));
        source += "l" + c + ": nop\n" + "jmp " + c + "\n" + "nop # " + c + "\n";
    }
    expectFailure("high.tasm", source, 255, "assembler failed with 256 errors:");
    // In a comment they are ordinary text.
    expectSameWords("nop # \x80\xFF\xC3\xA9\n", "nop\n");
}

TEST_F(HostileInput, HundredMegabyteLineWithoutLineEnd)
{
    const Outcome outcome =
        expectFailure("long.tasm", std::string(100 << 20, 'a'), 1,
                      "Assembly of 'long.tasm' aborted: line 1 of long.tasm is longer than 1048576 characters");
    if (!sanitized) {
        EXPECT_LT(outcome.peakKb, 64 * 1024);  // the reading stops at the limit
    }
}

TEST_F(HostileInput, MillionFaultyLines)
{
    expectFailure("faulty.tasm", repeat("    jmp  R1, R2, xyz     # not a number\n", 1000000), 255,
                  "assembler failed with 1000000 errors:");
}

TEST_F(HostileInput, ManySymbolsAndLabels)
{
    std::string source;
    for (int i = 0; i < 100000; ++i) {
        source += ".DEF s" + std::to_string(i) + " " + std::to_string(i % 1000) + "\n";
        source += "l" + std::to_string(i) + ":\n";
    }
    source += "jmp @l99999\nmove $s99999, R1\nl100000: jmp @l100000\n";
    expectSameWords(std::move(source), "jmp 0\nmove 999, R1\njmp 2\n");
}

TEST_F(HostileInput, FullInstructionMemoryAndOneMore)
{
    expectSameWords(repeat("nop\n", 16384), repeat("nop\n", 16384));
    expectFailure("long.tasm", repeat("nop\n", 16385), 1, "Program too long (16385). Maximum 16384 instructions");
}

TEST_F(HostileInput, UnusualInputFiles)
{
    expectSameWords("", "");
    expectSameWords("nop\rjmp 1\rnop", "nop\njmp 1\nnop\n");  // only CR line ends
    expectFailure("utf16.tasm", std::string("\xFF\xFEn\0o\0p\0\n\0", 10), 2, "assembler failed with 2 errors:");
}

TEST_F(HostileInput, OutputFileThatIsAPipeIsWrittenIntoNotReplaced)
{
    writeFile(dir_ / "in.tasm", "nop\n");
    ASSERT_EQ(0, runTool(dir_, {"-o", "ref", "in.tasm"}).status);
    const testfiles::Fifo fifo(dir_ / "out.hex");
    ASSERT_TRUE(fifo.ok());
    const Outcome outcome = runTool(dir_, {"-o", "out", "in.tasm"});
    EXPECT_EQ(0, outcome.status) << outcome.log;
    EXPECT_TRUE(fs::is_fifo(dir_ / "out.hex"));
    EXPECT_EQ(fifo.drain(), readFile(dir_ / "ref.hex"));
}

TEST_F(HostileInput, ManyErrorsPointIntoOneLongLine)
{
    // Each error shows at most a window of the long line and a cut copy of a long value, so the
    // report grows with the number of errors, not with the errors times the line. (Memory is
    // not checked: every use of the symbol converts its value text afresh.)
    const std::string uses = repeat("jmp $big\n", 2000);
    const std::string sources[] = {
        ".DEF big " + std::string(500000, '1') + "\n" + uses,
        ".DEF big " + std::string(500000, 'a') + "\n" + uses,
        ".DEF big @" + std::string(500000, 'a') + "\n" + uses,
        "x: nop # " + std::string(500000, '\t') + "\n" + repeat("x:\n", 2000),
    };
    for (const std::string& source : sources) {
        const Outcome outcome = assemble("big.tasm", source, false);
        EXPECT_EQ(255, outcome.status);
        EXPECT_NE(std::string::npos, outcome.log.find("assembler failed with 2000 errors:"));
        EXPECT_LT(outcome.log.size(), 2000u * 16 * 1024);
    }
}
