// Tests of what every library call promises its host: quiet standard streams, the log only
// through the host's handler, internal faults as exceptions, threads, and memory given back.
#include "CoreCall.h"
#include "common/FileText.h"

#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

/// Runs work with file descriptors 1 and 2 sent into a file; gives what was written there.
template <class Work>
std::string capturedOutput(Work&& work)
{
    const std::string path = std::string(TARNASM_SCRATCH) + "/corecall-output";
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
    const int saved1 = dup(1);
    const int saved2 = dup(2);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, 1);
    dup2(file, 2);
    work();
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
    dup2(saved1, 1);
    dup2(saved2, 2);
    close(saved1);
    close(saved2);
    close(file);
    return testfiles::readFile(path);
}

/// Peak resident memory of the process so far, in KiB.
long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

const char* const faulty = "nop\nbogus R1\njmp @nowhere\nwait 1\n";

} // namespace

TEST(CoreCall, WritesNothingUnlessTheHostAsks)
{
    const std::string output = capturedOutput([] {
        EXPECT_FALSE(tarnasm::assemble(faulty).ok());
        EXPECT_FALSE(tarnasm::assembleFile("/no/such/file.tasm").ok());
        EXPECT_TRUE(tarnasm::assemble("nop").ok());
    });
    EXPECT_EQ(output, "");

    std::vector<std::string> lines;
    tarnasm::setLogHandler([&lines](tarnasm::LogLevel, std::string_view line) { lines.emplace_back(line); },
                           tarnasm::LogLevel::debug);
    const std::string withHandler = capturedOutput([] { tarnasm::assemble(faulty); });
    tarnasm::setLogHandler(nullptr);
    EXPECT_EQ(withHandler, "");
    ASSERT_FALSE(lines.empty());
    // The command line's layout: marker, two blanks, time stamp, program name.
    EXPECT_EQ(lines[0].substr(0, 9), ".        ");
    EXPECT_NE(lines[0].find(" tarnasm: "), std::string::npos);

    lines.clear();
    tarnasm::assemble(faulty);
    EXPECT_TRUE(lines.empty());
}

TEST(CoreCall, InternalFaultsThrowInsteadOfEndingTheProcess)
{
    try {
        tarnasm::detail::guarded([]() -> int { THROW_BUG("faultyStep", "state " << 42 << " unreachable"); });
        FAIL() << "no InternalError";
    } catch (const tarnasm::InternalError& e) {
        EXPECT_NE(std::string(e.what()).find("faultyStep"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("state 42 unreachable"), std::string::npos);
    }
    // The frame is gone after the call: the log goes to the process's log again.
    EXPECT_EQ(Logging::threadSinkInUse(), nullptr);
}

TEST(CoreCall, ThreadsGetTheResultsOfSequentialCalls)
{
    std::vector<std::string> sources;
    for (int i = 0; i < 16; ++i) {
        std::string text;
        for (int k = 0; k <= i * 40; ++k) {
            text += "l" + std::to_string(k) + ": move " + std::to_string(k * 7 + i) + ", R" + std::to_string(k % 64) +
                    "\n  jmp @l" + std::to_string(k / 2) + "\n";
        }
        sources.push_back(i % 4 == 3 ? text + "wait 2\n" : text);
    }
    std::vector<std::string> expected;
    for (const std::string& source : sources) {
        const tarnasm::Program program = tarnasm::assemble(source);
        expected.push_back(program.ok() ? tarnasm::writeHex(program.words()) : program.report());
    }
    constexpr int threadCount = 8;
    std::vector<std::vector<std::string>> results(threadCount);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (size_t i = 0; i < sources.size(); ++i) {
                    const tarnasm::Program program = tarnasm::assemble(sources[(i + t) % sources.size()]);
                    results[t].push_back(program.ok() ? tarnasm::writeHex(program.words()) : program.report());
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < threadCount; ++t) {
        for (size_t k = 0; k < results[t].size(); ++k) {
            ASSERT_EQ(results[t][k], expected[(k % sources.size() + t) % sources.size()]) << "thread " << t;
        }
    }
}

TEST(CoreCall, ThreadsThatEndDestroyWhatTheyKept)
{
    // Each thread keeps a processor and a memory chunk until it ends. On Windows, threads ending
    // while others assemble once crashed in those destructors, about one end in a few hundred.
    const std::string source = "top: move 5, R1\n  jmp @top\n";
    const auto wordsOf = [&] {
        const tarnasm::Program program = tarnasm::assemble(source);
        return std::vector<std::uint64_t>(program.words().begin(), program.words().end());
    };
    const std::vector<std::uint64_t> expected = wordsOf();
    for (int round = 0; round < 150; ++round) {
        std::vector<std::vector<std::uint64_t>> words(8);
        std::vector<std::thread> threads;
        for (auto& result : words) {
            threads.emplace_back([&] { result = wordsOf(); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        for (const auto& result : words) {
            ASSERT_EQ(expected, result) << "round " << round;
        }
    }
}

TEST(CoreCall, MemoryComesBackAfterEveryCall)
{
    if (TARNASM_SANITIZED) {
        GTEST_SKIP() << "the sanitizers keep freed memory in quarantine";
    }
#if defined(_WIN32)
    GTEST_SKIP() << "measured through Linux's /proc; under Wine the process's memory is Wine's too";
#endif
    const std::string example = testfiles::readFile(TARNASM_EXAMPLE);
    const auto assembleMany = [&example](int calls) {
        for (int i = 0; i < calls; ++i) {
            ASSERT_TRUE(tarnasm::assemble(example).ok());
        }
    };
    assembleMany(1'000);
    const long afterThousand = peakResidentKiB();
    assembleMany(100'000);
    EXPECT_LE(peakResidentKiB(), afterThousand + 256) << "KiB of peak resident memory after 1,000 calls: "
                                                      << afterThousand;
}
