// SeqIdNameLUT: the table that holds every part of the instruction-set model by small id and by name.
#pragma once

#include "seqprocessor/SeqProcErrors.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

/// Key functions for elements with hasId() and id() members.
template <typename T>
struct SeqIdFunc
{
    static bool hasId(const T& e) { return e.hasId(); }
    static unsigned int id(const T& e) { return e.id(); }
};

/// Adds the name key: an element has a name when its name() is not empty.
template <typename T>
struct SeqIdNameFunc : SeqIdFunc<T>
{
    static bool hasName(const T& e) { return !e.name().empty(); }
    static const std::string& name(const T& e) { return e.name(); }
};

/// Walks the id-indexed slots of a table, skipping the empty ones.
template <typename VecIt, typename T>
class container_iterator
{
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::remove_const_t<T>;
    using difference_type = std::ptrdiff_t;
    using pointer = T*;
    using reference = T&;

    container_iterator() = default;
    container_iterator(VecIt current, VecIt end) : current_(current), end_(end) {}

    T& operator*() const { return **current_; }
    T* operator->() const { return current_->get(); }

    container_iterator& operator++()
    {
        ++current_;
        while (current_ != end_ && !*current_) {
            ++current_;
        }
        return *this;
    }

    container_iterator operator++(int)
    {
        container_iterator old = *this;
        ++*this;
        return old;
    }

    bool operator==(const container_iterator& other) const { return current_ == other.current_; }

private:
    VecIt current_{};
    VecIt end_{};
};

/// Shared elements found by id (a slot per id, so ids should be small) and by
/// name; neither key may repeat. F gives hasId, id, hasName and name of an element.
template <typename T, typename F>
class SeqIdNameLUT
{
public:
    using element_ptr = std::shared_ptr<T>;
    using const_element_ptr = std::shared_ptr<const T>;
    using slot_vector = std::vector<element_ptr>;
    using iterator = container_iterator<typename slot_vector::iterator, T>;
    using const_iterator = container_iterator<typename slot_vector::const_iterator, const T>;

    SeqIdNameLUT() = default;
    SeqIdNameLUT(const SeqIdNameLUT&) = default;
    SeqIdNameLUT& operator=(const SeqIdNameLUT&) = default;
    /// The moved-from table is left empty, its count included.
    SeqIdNameLUT(SeqIdNameLUT&& other) noexcept
        : count_(std::exchange(other.count_, 0)), byId_(std::move(other.byId_)), byName_(std::move(other.byName_))
    {
        other.byId_.clear();
        other.byName_.clear();
    }
    SeqIdNameLUT& operator=(SeqIdNameLUT&& other) noexcept
    {
        if (this != &other) {
            count_ = std::exchange(other.count_, 0);
            byId_ = std::move(other.byId_);
            byName_ = std::move(other.byName_);
            other.byId_.clear();
            other.byName_.clear();
        }
        return *this;
    }
    virtual ~SeqIdNameLUT() = default;

    /// Throws SeqProcUninitializedError or SeqProcDuplicateError; the table is unchanged then.
    void add(element_ptr p)
    {
        if (!p) {
            throw SeqProcUninitializedError("Adding nullptr to lookup table.");
        }
        if (!F::hasId(*p)) {
            throw SeqProcUninitializedError("Adding unitialized element lookup table.");
        }
        const unsigned int id = F::id(*p);
        const bool named = F::hasName(*p);
        if (named) {
            auto it = byName_.find(F::name(*p));
            if (it != byName_.end()) {
                throw duplicateError(*it->second, *p);
            }
        }
        if (byId_.size() <= id) {
            // Grown geometrically: resize alone would fit the vector exactly, so the next
            // higher id would move every slot again.
            if (byId_.capacity() <= id) {
                byId_.reserve(std::max<size_t>(id + 1, 2 * byId_.capacity()));
            }
            byId_.resize(id);
            byId_.push_back(p);
        } else if (byId_[id]) {
            throw duplicateError(*byId_[id], *p);
        } else {
            byId_[id] = p;
        }
        if (named) {
            byName_.emplace(F::name(*p), p);
        }
        ++count_;
    }

    const_element_ptr find(unsigned int id) const { return id < byId_.size() ? byId_[id] : nullptr; }
    element_ptr find(unsigned int id) { return id < byId_.size() ? byId_[id] : nullptr; }

    const_element_ptr find(const std::string& name) const
    {
        auto it = byName_.find(name);
        return it != byName_.end() ? it->second : nullptr;
    }

    element_ptr find(const std::string& name)
    {
        auto it = byName_.find(name);
        return it != byName_.end() ? it->second : nullptr;
    }

    /// The element or null; no shared count changes hands, and the name is not copied.
    const T* lookup(unsigned int id) const { return id < byId_.size() ? byId_[id].get() : nullptr; }
    const T* lookup(std::string_view name) const
    {
        auto it = byName_.find(name);
        return it != byName_.end() ? it->second.get() : nullptr;
    }

    typename slot_vector::const_iterator beginById() const { return firstFilled(byId_.begin(), byId_.end()); }
    typename slot_vector::iterator beginById() { return firstFilled(byId_.begin(), byId_.end()); }

    /// Iteration is in ascending id order.
    const_iterator begin() const { return const_iterator(beginById(), byId_.end()); }
    const_iterator end() const { return const_iterator(byId_.end(), byId_.end()); }
    iterator begin() { return iterator(beginById(), byId_.end()); }
    iterator end() { return iterator(byId_.end(), byId_.end()); }

    bool empty() const { return count_ == 0; }
    unsigned long long size() const { return count_; }

    /// The element with the lowest id; only for a table that is not empty.
    const T& front() const { return **beginById(); }
    T& front() { return **beginById(); }

    SeqProcDuplicateError duplicateError(const T& existing, const T& added) const
    {
        std::ostringstream text;
        // typeid drops the const of T, so both field tables report the same name.
        text << "Duplicate SeqIdNameLUT " << typeid(T).name() << " entry with";
        text << " (id1=" << F::id(existing);
        if (F::hasName(existing)) {
            text << ", name1=\"" << F::name(existing) << '"';
        }
        text << ")& (id2=" << F::id(added);
        if (F::hasName(added)) {
            text << ", name2=\"" << F::name(added) << '"';
        }
        text << ")";
        return SeqProcDuplicateError(text.str());
    }

private:
    template <typename It>
    static It firstFilled(It it, It end)
    {
        while (it != end && !*it) {
            ++it;
        }
        return it;
    }

    /// Hashes a string and a string view alike, so that a view finds its name without a copy.
    struct NameHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
    };

    unsigned long long count_ = 0;
    slot_vector byId_;
    std::unordered_map<std::string, element_ptr, NameHash, std::equal_to<> > byName_;
};
