// Runs of the real tarndis on hostile .hex files: exit status, log, output and peak memory.
#include "common/Fifo.h"
#include "common/RunTool.h"

#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <random>

namespace fs = std::filesystem;

namespace {

const std::string oldText = "# an earlier disassembly\n";

using testfiles::Outcome;

class HostileInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Big inputs get pages of their own that go back to the system when freed, so the
        // child forked later does not start out with them.
        mallopt(M_MMAP_THRESHOLD, 1 << 20);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    /// tarndis -o out.tasm in.hex, with the input as in.hex and an earlier text in out.tasm.
    Outcome run(std::string input)
    {
        testfiles::writeFile(dir_ / "in.hex", input);
        testfiles::writeFile(dir_ / "out.tasm", oldText);
        std::string().swap(input);
        const Outcome outcome = testfiles::runTool(TARNDIS_EXECUTABLE, dir_, {"-o", "out.tasm", "in.hex"});
        EXPECT_EQ(std::string::npos, outcome.log.find("Sanitizer")) << outcome.log.substr(0, 2000);
        EXPECT_EQ(std::string::npos, outcome.log.find("runtime error:")) << outcome.log.substr(0, 2000);
        return outcome;
    }

    /// Refused with the message, out.tasm as it was, memory within a few megabytes of an empty
    /// run's whatever the input's size (the sanitizers' own memory aside).
    void expectRefused(std::string input, const std::string& message)
    {
        const Outcome outcome = run(std::move(input));
        EXPECT_EQ(1, outcome.status);
        EXPECT_NE(std::string::npos, outcome.log.find("in.hex:" + message)) << outcome.log.substr(0, 2000);
        EXPECT_EQ(oldText, testfiles::readFile(dir_ / "out.tasm"));
        static const long baseKb = run("").peakKb;
        EXPECT_TRUE(TARNASM_SANITIZED || outcome.peakKb <= baseKb + 4096) << outcome.peakKb << " KB";
    }

    const fs::path dir_ = fs::path(TARNDIS_SCRATCH) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(HostileInput, BigMalformedFiles)
{
    expectRefused(std::string(100 << 20, '7'), "1:16: a word has 16 hexadecimal digits");
    expectRefused(std::string(100 << 20, '\n'), "1:0: blank line");
    expectRefused(std::string(1 << 20, '\0'), "1:0: byte 0x00 is not a hexadecimal digit");
    std::string words = tarnasm::writeHex(std::vector<std::uint64_t>(1000000, 0));
    expectRefused(std::move(words), "16385:0: more than 16384 words");
    std::mt19937 random(8);
    std::string bytes(1 << 20, '\0');
    std::generate(bytes.begin(), bytes.end(), [&random] { return static_cast<char>(random()); });
    expectRefused(std::move(bytes), "1:");
}

TEST_F(HostileInput, FullMemoryOfUnknownWordsIsReportedAndCommentedOut)
{
    const Outcome outcome = run(tarnasm::writeHex(std::vector<std::uint64_t>(16384, ~std::uint64_t{0})));
    EXPECT_EQ(255, outcome.status);
    EXPECT_EQ(16384, std::count(outcome.log.begin(), outcome.log.end(), '\n'));
    EXPECT_NE(std::string::npos, outcome.log.find("in.hex:16384:0: word ffffffffffffffff is not an instruction"));
    const tarnasm::Program again = tarnasm::assembleFile(dir_ / "out.tasm");
    EXPECT_TRUE(again.ok() && again.words().empty()) << again.report();
}

TEST_F(HostileInput, OutputThatIsNoRegularFileIsWrittenIntoNotReplaced)
{
    testfiles::writeFile(dir_ / "in.hex", tarnasm::writeHex(tarnasm::assemble("nop\n").words()));
    const testfiles::Fifo fifo(dir_ / "pipe");
    ASSERT_TRUE(fifo.ok());
    Outcome outcome = testfiles::runTool(TARNDIS_EXECUTABLE, dir_, {"-o", "pipe", "in.hex"});
    EXPECT_EQ(0, outcome.status) << outcome.log;
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
    EXPECT_NE(std::string::npos, fifo.drain().find("nop")) << outcome.log;

    // As root, the null device's own node: replacing it would be replacing /dev/null.
    if (geteuid() == 0 && mknod((dir_ / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        outcome = testfiles::runTool(TARNDIS_EXECUTABLE, dir_, {"-o", "null", "in.hex"});
        EXPECT_EQ(0, outcome.status) << outcome.log;
        EXPECT_TRUE(fs::is_character_file(dir_ / "null"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), geteuid() == 0 ? 3 : 2);
}

} // namespace
