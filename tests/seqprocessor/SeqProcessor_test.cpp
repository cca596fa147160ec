// Tests of the processor and its memories: address bounds, clearing and caller's buffers.
#include "seqprocessor/SeqProcessor.h"
#include "seqprocessor/TarnInstructionSet.h"

#include "support/ErrorText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string memoryError(SeqProcessor& p, unsigned int address, bool write)
{
    return errorText<SeqProcMemoryError>([&] {
        if (write) {
            p.writeInstructionMem(address, 1);
        } else {
            p.readInstructionMem(address);
        }
    });
}

} // namespace

TEST(SeqProcessor, InstructionMemoryBounds)
{
    SeqProcessor p(seq_instr_set(), 16384, 64);
    EXPECT_EQ(0ULL, p.readInstructionMem(16383)); // never written, yet defined
    p.writeInstructionMem(16383, 0xABCDULL);
    EXPECT_EQ(0xABCDULL, p.readInstructionMem(16383));
    EXPECT_EQ("Attempt to write instruction at address 16384 beyond maximum address 16383",
              memoryError(p, 16384, true));
    EXPECT_EQ("Attempt to read instruction at address 4294967295 beyond maximum address 16383",
              memoryError(p, 4294967295u, false));
    EXPECT_EQ(0xABCDULL, p.readInstructionMem(16383));

    SeqProcessor none;
    EXPECT_EQ(0u, none.instructionMemSizeWords());
    EXPECT_EQ("Attempt to read instruction at address 0 beyond maximum address 4294967295",
              memoryError(none, 0, false));
}

// Clearing skips words known never to have been written; any mix of writes and clears, up to
// the largest address, must still read like a plain array.
TEST(SeqMemory, WritesAndClearsInAnyOrder)
{
    SeqMemory<unsigned long long, unsigned int> whole("test", 16);
    for (unsigned int a = 0; a < 16; ++a) {
        whole.writeMem(a, 1);
    }
    whole.initMem(0, 4294967295u);
    for (unsigned int a = 0; a < 16; ++a) {
        EXPECT_EQ(0ULL, whole.readMem(a)) << a;
    }

    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<unsigned long long> expected(32, round % 2 == 0 ? 0 : 5);
        std::vector<unsigned long long> buffer = expected;
        SeqMemory<unsigned long long, unsigned int> m("test", 32);
        if (round % 2 != 0) {
            m.setMemory(32, buffer.data());
        }
        for (int step = 0; step < 20; ++step) {
            const unsigned int a = random() % 40;
            const unsigned int b = random() % 40;
            if (random() % 2 == 0 && a < 32) {
                m.writeMem(a, step + 1);
                expected[a] = step + 1;
            } else {
                m.initMem(a, b);
                for (unsigned int i = a; i < std::min(b, 32u); ++i) {
                    expected[i] = 0;
                }
            }
            for (unsigned int i = 0; i < 32; ++i) {
                ASSERT_EQ(expected[i], m.readMem(i)) << "round " << round << " step " << step << " @" << i;
            }
        }
    }
}

TEST(SeqMemory, CallersBufferStaysWithCaller)
{
    std::vector<unsigned long long> buffer(4, 7);
    {
        SeqProcessor p(seq_instr_set(), buffer.data(), 4, 2);
        p.writeInstructionMem(1, 9);
        EXPECT_EQ(7ULL, p.readInstructionMem(0)); // a caller's buffer is not cleared
        SeqProcessor moved = std::move(p);
        EXPECT_EQ(9ULL, moved.readInstructionMem(1));
    }
    EXPECT_EQ((std::vector<unsigned long long>{7, 9, 7, 7}), buffer);

    SeqMemory<unsigned int, unsigned int> m("data", 2);
    m.setMemory(3, nullptr); // frees the first array, allocates a cleared one
    EXPECT_EQ(3u, m.size());
    EXPECT_EQ(0u, m.readMem(2));
}
