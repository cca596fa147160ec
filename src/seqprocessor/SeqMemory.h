// SeqMemory: a word memory over an owned array or a caller's buffer that rejects addresses beyond its end.
#pragma once

#include "seqprocessor/SeqProcErrors.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>

template <typename Word, typename Address>
class SeqMemory
{
public:
    explicit SeqMemory(std::string name) : name_(std::move(name)) {}
    SeqMemory(std::string name, Address size) : name_(std::move(name)) { setMemory(size, nullptr); }
    /// Uses the caller's buffer, which must outlive the memory and is never freed by it.
    SeqMemory(std::string name, Word* buffer, Address size) : name_(std::move(name)) { setMemory(size, buffer); }

    // Owned words would be freed twice by a copy; moving hands them over.
    SeqMemory(const SeqMemory&) = delete;
    SeqMemory& operator=(const SeqMemory&) = delete;
    SeqMemory(SeqMemory&& other) noexcept { swap(other); }
    SeqMemory& operator=(SeqMemory&& other) noexcept
    {
        if (this != &other) {
            release();
            memory_ = nullptr;
            size_ = 0;
            owned_ = false;
            swap(other);
        }
        return *this;
    }
    ~SeqMemory() { release(); }

    /// Frees owned words, then takes the buffer, or allocates size words when there is none.
    void setMemory(Address size, Word* buffer)
    {
        release();
        memory_ = nullptr;
        size_ = 0;
        owned_ = false;
        if (buffer != nullptr) {
            memory_ = buffer;
        } else {
            // Cleared, so that a word never written reads as 0 rather than as garbage.
            static_assert(std::is_trivial_v<Word>);
            memory_ = static_cast<Word*>(std::calloc(std::max<size_t>(size, 1), sizeof(Word)));
            if (memory_ == nullptr) {
                throw std::bad_alloc();
            }
            owned_ = true;
        }
        size_ = size;
    }

    Address size() const { return size_; }
    const std::string& name() const { return name_; }

    /// Throws SeqProcMemoryError beyond the end.
    Word readMem(Address address) const
    {
        if (address >= size_) {
            throw outOfRange("read", address);
        }
        return memory_[address];
    }

    /// Throws SeqProcMemoryError beyond the end; nothing is written then.
    void writeMem(Address address, Word word)
    {
        if (address >= size_) {
            throw outOfRange("write", address);
        }
        memory_[address] = word;
    }

    /// Clears the words from first up to, not including, last; the part beyond the end is ignored.
    void initMem(Address first, Address last)
    {
        const Address end = std::min(last, size_);
        const Address start = std::min(first, end);
        std::fill(memory_ + start, memory_ + end, Word(0));
    }

private:
    void release()
    {
        if (owned_) {
            std::free(memory_);
        }
    }

    void swap(SeqMemory& other) noexcept
    {
        std::swap(memory_, other.memory_);
        std::swap(size_, other.size_);
        std::swap(name_, other.name_);
        std::swap(owned_, other.owned_);
    }

    SeqProcMemoryError outOfRange(const char* access, Address address) const
    {
        std::ostringstream text;
        text << "Attempt to " << access << ' ' << name_ << " at address " << static_cast<unsigned long long>(address)
             << " beyond maximum address " << static_cast<unsigned long long>(static_cast<Address>(size_ - 1));
        return SeqProcMemoryError(text.str());
    }

    Word* memory_ = nullptr;
    Address size_ = 0;
    std::string name_;
    bool owned_ = false;
};
