#include "support/ChunkPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

struct Block
{
    unsigned char* data;
    size_t size;
};

// Enough blocks of mixed sizes to fill several chunks, each filled with a pattern of its own.
std::vector<Block> allocateMany(size_t count)
{
    std::vector<Block> blocks;
    for (size_t i = 0; i < count; ++i) {
        const size_t size = 1 + (i * 37) % ChunkPool::maxPooledBytes;
        auto* data = static_cast<unsigned char*>(ChunkPool::allocate(size));
        std::memset(data, static_cast<int>(i & 0xFF), size);
        blocks.push_back({data, size});
    }
    return blocks;
}

void freeAll(const std::vector<Block>& blocks)
{
    for (const Block& block : blocks) {
        ChunkPool::deallocate(block.data, block.size);
    }
}

TEST(ChunkPool, BlocksAreAlignedAndNeverOverlap)
{
    const std::vector<Block> blocks = allocateMany(20000);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const Block& block = blocks[i];
        ASSERT_EQ(reinterpret_cast<uintptr_t>(block.data) % ChunkPool::blockAlignment, 0u) << i;
        for (size_t k = 0; k < block.size; ++k) {
            ASSERT_EQ(block.data[k], static_cast<unsigned char>(i & 0xFF)) << "block " << i << " byte " << k;
        }
    }
    freeAll(blocks);
}

// Once all blocks are back, only the thread's current chunk stays in use: more chunks than are
// kept as spares are made each round, so some are freed too.
TEST(ChunkPool, EmptiedChunksAreReleased)
{
    const size_t before = ChunkPool::chunksInUse();
    for (int round = 0; round < 3; ++round) {
        const std::vector<Block> blocks = allocateMany(60000);
        EXPECT_GT(ChunkPool::chunksInUse(), before + 8);
        freeAll(blocks);
        EXPECT_LE(ChunkPool::chunksInUse(), before + 1) << "round " << round;
    }
}

TEST(ChunkPool, BlocksOutliveTheirThread)
{
    const size_t before = ChunkPool::chunksInUse();
    for (int round = 0; round < 3; ++round) {
        std::vector<Block> blocks;
        std::thread worker([&blocks] { blocks = allocateMany(20000); });
        worker.join();
        EXPECT_EQ(blocks.back().data[0], static_cast<unsigned char>((blocks.size() - 1) & 0xFF));
        freeAll(blocks);
        EXPECT_EQ(ChunkPool::chunksInUse(), before) << "round " << round;
    }
}

TEST(ChunkAllocator, LargeRequestsGoToTheHeap)
{
    const size_t before = ChunkPool::chunksInUse();
    std::vector<char, ChunkAllocator<char>> large(100 * ChunkPool::maxPooledBytes, 'x');
    EXPECT_EQ(large.back(), 'x');
    EXPECT_EQ(ChunkPool::chunksInUse(), before);
}

} // namespace
