// ChunkPool and ChunkAllocator: the many small objects of a parse, carved out of large chunks.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

/// Hands out small blocks from the calling thread's current chunk, one pointer bump each. A chunk
/// counts the blocks it has out and is released when the last of them comes back after the
/// thread has moved on to another chunk, so a block may outlive its thread and be returned from
/// any thread. Freed space inside a chunk is reused only once the whole chunk is empty: the pool
/// suits objects that are made together and dropped together, such as a program's statements.
class ChunkPool
{
public:
    /// Larger requests go to the general heap.
    static constexpr size_t maxPooledBytes = 1024;
    /// Requests of at least this size get memory of their own, asked to be backed by huge pages.
    static constexpr size_t hugeBytes = size_t{2} << 20;
    /// Every block is aligned this much.
    static constexpr size_t blockAlignment = 16;

    /// A block of 1 to maxPooledBytes bytes; throws std::bad_alloc when no chunk can be had.
    static void* allocate(size_t bytes);
    /// Gives back a block of allocate; bytes as asked for.
    static void deallocate(void* block, size_t bytes) noexcept;

    /// Memory of its own for a request of at least hugeBytes; throws std::bad_alloc.
    static void* allocateHuge(size_t bytes);
    static void deallocateHuge(void* block) noexcept;

    /// Chunks that hold blocks or are some thread's current chunk (for tests and reports).
    static size_t chunksInUse();
};

/// A stateless standard allocator over ChunkPool, for std::allocate_shared and containers: small
/// requests come from the pool, huge ones get huge pages, the rest come from the general heap.
template <class T>
class ChunkAllocator
{
public:
    using value_type = T;

    ChunkAllocator() noexcept = default;
    template <class U>
    ChunkAllocator(const ChunkAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t n)
    {
        if (huge(n)) {
            return static_cast<T*>(ChunkPool::allocateHuge(n * sizeof(T)));
        }
        if (!pooled(n)) {
            return std::allocator<T>().allocate(n);
        }
        return static_cast<T*>(ChunkPool::allocate(n * sizeof(T)));
    }

    void deallocate(T* p, size_t n) noexcept
    {
        if (huge(n)) {
            ChunkPool::deallocateHuge(p);
        } else if (!pooled(n)) {
            std::allocator<T>().deallocate(p, n);
        } else {
            ChunkPool::deallocate(p, n * sizeof(T));
        }
    }

    template <class U>
    bool operator==(const ChunkAllocator<U>&) const noexcept
    {
        return true;
    }

private:
    static bool huge(size_t n)
    {
        return n >= ChunkPool::hugeBytes / sizeof(T) && n <= std::allocator_traits<std::allocator<T>>::max_size({});
    }

    static bool pooled(size_t n)
    {
        return alignof(T) <= ChunkPool::blockAlignment && n != 0 && n <= ChunkPool::maxPooledBytes / sizeof(T);
    }
};

// Standard libraries without std::allocate_shared for arrays (libc++ before 15) get them from
// makePooledArray instead.
#if defined(__cpp_lib_shared_ptr_arrays) && __cpp_lib_shared_ptr_arrays >= 201707L
inline constexpr bool allocateSharedMakesArrays = true;
#else
inline constexpr bool allocateSharedMakesArrays = false;
#endif

/// A shared array of count value-initialised elements from the pool, for libraries whose
/// std::allocate_shared makes no arrays: the elements take one block and the counts another.
template <class T>
std::shared_ptr<T[]> makePooledArray(size_t count)
{
    ChunkAllocator<T> allocator;
    T* elements = allocator.allocate(count);
    try {
        std::uninitialized_value_construct_n(elements, count);
    } catch (...) {
        allocator.deallocate(elements, count);
        throw;
    }
    // Should the counts' block fail, shared_ptr hands the elements to the deleter.
    return std::shared_ptr<T[]>(
        elements,
        [count](T* block) noexcept {
            std::destroy_n(block, count);
            ChunkAllocator<T>().deallocate(block, count);
        },
        ChunkAllocator<std::byte>());
}

/// A shared object (or array of value-initialised elements) from the pool, counts included, in
/// one block wherever the standard library allows.
template <class T, class... Args>
std::shared_ptr<T> makePooled(Args&&... args)
{
    if constexpr (std::is_unbounded_array_v<T> && !allocateSharedMakesArrays) {
        return makePooledArray<std::remove_extent_t<T>>(std::forward<Args>(args)...);
    } else {
        return std::allocate_shared<T>(ChunkAllocator<std::byte>(), std::forward<Args>(args)...);
    }
}
