// ChunkPool: bump allocation from aligned chunks that count the blocks they have out.
#include "support/ChunkPool.h"

#include "support/ThreadOwned.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <iterator>
#include <new>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define TARNASM_POOL_POISONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARNASM_POOL_POISONS 1
#endif
#endif

#ifdef TARNASM_POOL_POISONS
#include <sanitizer/asan_interface.h>
#endif

namespace {

// Under AddressSanitizer the space between live blocks stays poisoned, so a use after free of a
// pooled object is still caught.
void setPoisoned([[maybe_unused]] const void* p, [[maybe_unused]] size_t n, [[maybe_unused]] bool poisoned)
{
#ifdef TARNASM_POOL_POISONS
    if (poisoned) {
        ASAN_POISON_MEMORY_REGION(p, n);
    } else {
        ASAN_UNPOISON_MEMORY_REGION(p, n);
    }
#endif
}

// Chunks are aligned to the largest chunk size, so a block finds its chunk by masking its address.
constexpr size_t chunkAlignment = size_t{2} << 20;
// A thread's first two chunks are small, so that a small program touches little memory. Later
// chunks are large and asked to be backed by huge pages: faulting in fresh 4 KiB pages one by one
// costs a big program more than parsing it, but each huge page counts whole in its memory.
constexpr size_t smallChunkBytes[] = {size_t{64} << 10, size_t{256} << 10};
constexpr size_t largeChunkBytes = chunkAlignment;

struct ChunkHeader
{
    explicit ChunkHeader(size_t capacity_) : capacity(capacity_) {}

    // Blocks out, plus one while the chunk is some thread's current chunk.
    std::atomic<size_t> users{1};
    const size_t capacity;
};

constexpr size_t roundUp(size_t n)
{
    return (n + ChunkPool::blockAlignment - 1) / ChunkPool::blockAlignment * ChunkPool::blockAlignment;
}

constexpr size_t headerBytes = roundUp(sizeof(ChunkHeader));

// Chunks holding blocks or current for a thread; spares are not counted.
std::atomic<size_t> chunksInUse{0};

// Emptied large chunks kept for the next ones, so that a program assembled again does not hand
// its memory back and fault it in anew: a library call on the reference program takes a quarter
// less time with them (7.4 against 9.9 ms); a single run of the command line gains nothing. They stay until exit, reachable from here; without a
// destructor the store also serves chunks released by other objects' destructors at exit.
class SpareChunks
{
public:
    ChunkHeader* take()
    {
        const SpinLock lock(busy_);
        return count_ == 0 ? nullptr : chunks_[--count_];
    }

    /// False when the store is full.
    bool keep(ChunkHeader* chunk)
    {
        const SpinLock lock(busy_);
        if (count_ == chunks_.size()) {
            return false;
        }
        chunks_[count_++] = chunk;
        return true;
    }

private:
    // Held for a few instructions. A std::mutex cannot be constant-initialised everywhere
    // (MinGW's POSIX threads), and the store must be usable before and after static constructors.
    class SpinLock
    {
    public:
        explicit SpinLock(std::atomic_flag& flag) : flag_(flag)
        {
            while (flag_.test_and_set(std::memory_order_acquire)) {
                std::this_thread::yield();
            }
        }
        ~SpinLock() { flag_.clear(std::memory_order_release); }
        SpinLock(const SpinLock&) = delete;
        SpinLock& operator=(const SpinLock&) = delete;

    private:
        std::atomic_flag& flag_;
    };

    std::atomic_flag busy_;
    std::array<ChunkHeader*, 8> chunks_{};
    size_t count_ = 0;
};

constinit SpareChunks spareChunks;

char* payload(ChunkHeader* chunk)
{
    return reinterpret_cast<char*>(chunk) + headerBytes;
}

ChunkHeader* chunkOf(const void* block)
{
    return reinterpret_cast<ChunkHeader*>(reinterpret_cast<uintptr_t>(block) & ~uintptr_t{chunkAlignment - 1});
}

void hintHugePages([[maybe_unused]] void* p, [[maybe_unused]] size_t n)
{
#if defined(MADV_HUGEPAGE)
    // Only a hint: where it is refused, the memory works the same, just more slowly.
    madvise(p, n, MADV_HUGEPAGE);
#endif
}

ChunkHeader* newChunk(size_t capacity)
{
    if (capacity == largeChunkBytes) {
        if (ChunkHeader* spare = spareChunks.take()) {
            spare->users.store(1, std::memory_order_relaxed);
            chunksInUse.fetch_add(1, std::memory_order_relaxed);
            return spare;
        }
    }
    void* memory = capacity == largeChunkBytes ? ChunkPool::allocateHuge(capacity)
                                               : ::operator new(capacity, std::align_val_t{chunkAlignment});
    auto* chunk = new (memory) ChunkHeader(capacity);
    setPoisoned(payload(chunk), capacity - headerBytes, true);
    chunksInUse.fetch_add(1, std::memory_order_relaxed);
    return chunk;
}

void freeChunk(ChunkHeader* chunk) noexcept
{
    const size_t capacity = chunk->capacity;
    setPoisoned(chunk, capacity, false);
    chunk->~ChunkHeader();
    ::operator delete(static_cast<void*>(chunk), std::align_val_t{chunkAlignment});
}

void addUser(ChunkHeader* chunk)
{
    chunk->users.fetch_add(1, std::memory_order_relaxed);
}

// Drops one user; the last one out keeps the chunk as a spare or frees it.
void release(ChunkHeader* chunk) noexcept
{
    const size_t before = chunk->users.fetch_sub(1, std::memory_order_acq_rel);
    if (before != 1) {
        return;
    }
    chunksInUse.fetch_sub(1, std::memory_order_relaxed);
    if (chunk->capacity != largeChunkBytes || !spareChunks.keep(chunk)) {
        freeChunk(chunk);
    }
}

// The calling thread's current chunk; given back when the thread ends.
struct CurrentChunk
{
    CurrentChunk() = default;
    CurrentChunk(const CurrentChunk&) = delete;
    CurrentChunk& operator=(const CurrentChunk&) = delete;
    ~CurrentChunk()
    {
        if (chunk != nullptr) {
            release(chunk);
        }
    }

    ChunkHeader* chunk = nullptr;
    char* next = nullptr;
    char* end = nullptr;
    size_t chunksMade = 0;
};


} // namespace

void* ChunkPool::allocate(size_t bytes)
{
    if (bytes > maxPooledBytes) {
        throw std::bad_alloc();
    }
    const size_t size = roundUp(bytes == 0 ? 1 : bytes);
    CurrentChunk& c = threadOwned<CurrentChunk>([] { return CurrentChunk(); });
    if (c.chunk == nullptr || size > static_cast<size_t>(c.end - c.next)) {
        if (c.chunk != nullptr && c.chunk->users.load(std::memory_order_acquire) == 1) {
            // Every block has come back: start again at the front.
            c.next = payload(c.chunk);
        } else {
            const size_t made = c.chunksMade++;
            ChunkHeader* chunk = newChunk(made < std::size(smallChunkBytes) ? smallChunkBytes[made] : largeChunkBytes);
            if (c.chunk != nullptr) {
                release(c.chunk);
            }
            c.chunk = chunk;
            c.next = payload(chunk);
            c.end = reinterpret_cast<char*>(chunk) + chunk->capacity;
        }
    }
    char* block = c.next;
    c.next += size;
    addUser(c.chunk);
    setPoisoned(block, bytes, false);
    return block;
}

void ChunkPool::deallocate(void* block, size_t bytes) noexcept
{
    if (block == nullptr) {
        return;
    }
    setPoisoned(block, bytes, true);
    release(chunkOf(block));
}

void* ChunkPool::allocateHuge(size_t bytes)
{
    void* block = ::operator new(bytes, std::align_val_t{chunkAlignment});
    hintHugePages(block, bytes);
    return block;
}

void ChunkPool::deallocateHuge(void* block) noexcept
{
    ::operator delete(block, std::align_val_t{chunkAlignment});
}

size_t ChunkPool::chunksInUse()
{
    return ::chunksInUse.load(std::memory_order_relaxed);
}
