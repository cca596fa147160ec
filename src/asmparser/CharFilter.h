// CharFilter: a set of byte values (a character class), and the predefined classes of CharFilters.
#pragma once

#include <array>
#include <cstddef>
#include <string>

/// A character class: one entry per byte value. Bytes 128..255 are ordinary members like any other.
/// Everything except the classifier forms is constexpr, so the predefined classes below are built
/// at compile time and can be used safely from other static initialisers.
class CharFilter
{
public:
    using Predicate = bool (*)(char);
    /// A C-library style classifier such as isprint.
    using Classifier = int (*)(int);

    constexpr CharFilter() = default;
    /// Holds every character of the text.
    constexpr explicit CharFilter(const char* text) { include(text); }
    /// Holds every byte value for which the classifier, given it as an unsigned value, is non-zero.
    explicit CharFilter(Classifier classifier) { include(classifier); }

    /// The table entry of a character: its unsigned 8-bit value.
    static constexpr size_t index(char c) { return static_cast<unsigned char>(c); }

    constexpr bool accept(char c) const { return table_[index(c)]; }
    constexpr bool operator()(char c) const { return accept(c); }
    /// False for a zero count; otherwise whether all counted characters are members.
    constexpr bool accept(const char* p, size_t count) const
    {
        if (count == 0) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            if (!accept(p[i])) {
                return false;
            }
        }
        return true;
    }
    /// False for an empty text; otherwise whether every character is a member.
    constexpr bool accept(const char* text) const
    {
        if (*text == '\0') {
            return false;
        }
        for (; *text != '\0'; ++text) {
            if (!accept(*text)) {
                return false;
            }
        }
        return true;
    }
    bool accept(const std::string& s) const { return accept(s.data(), s.size()); }

    constexpr CharFilter& include(char c) { return set(c, true); }
    constexpr CharFilter& include(const char* text) { return set(text, true); }
    CharFilter& include(const std::string& s) { return set(s, true); }
    constexpr CharFilter& include(Predicate predicate) { return set(predicate, true); }
    CharFilter& include(Classifier classifier);
    constexpr CharFilter& include(const CharFilter& other)
    {
        for (size_t i = 0; i < table_.size(); ++i) {
            table_[i] = table_[i] || other.table_[i];
        }
        return *this;
    }
    /// Includes each argument in turn: characters, texts and filters.
    template <typename First, typename Second, typename... Rest>
    constexpr CharFilter& include(First first, Second second, Rest... rest)
    {
        include(first);
        return include(second, rest...);
    }

    constexpr CharFilter& exclude(char c) { return set(c, false); }
    constexpr CharFilter& exclude(const char* text) { return set(text, false); }
    CharFilter& exclude(const std::string& s) { return set(s, false); }
    constexpr CharFilter& exclude(Predicate predicate) { return set(predicate, false); }
    /// Set difference.
    constexpr CharFilter& exclude(const CharFilter& other)
    {
        for (size_t i = 0; i < table_.size(); ++i) {
            table_[i] = table_[i] && !other.table_[i];
        }
        return *this;
    }

    /// Complement within the 256 byte values.
    constexpr CharFilter& invert()
    {
        for (bool& entry : table_) {
            entry = !entry;
        }
        return *this;
    }
    constexpr CharFilter operator!() const
    {
        CharFilter result = *this;
        return result.invert();
    }
    constexpr CharFilter& operator|=(const CharFilter& other) { return include(other); }
    constexpr CharFilter operator|(const CharFilter& other) const
    {
        CharFilter result = *this;
        return result.include(other);
    }
    constexpr CharFilter& operator&=(const CharFilter& other)
    {
        for (size_t i = 0; i < table_.size(); ++i) {
            table_[i] = table_[i] && other.table_[i];
        }
        return *this;
    }

private:
    constexpr CharFilter& set(char c, bool member)
    {
        table_[index(c)] = member;
        return *this;
    }
    constexpr CharFilter& set(const char* text, bool member)
    {
        for (; *text != '\0'; ++text) {
            set(*text, member);
        }
        return *this;
    }
    CharFilter& set(const std::string& s, bool member)
    {
        for (char c : s) {
            set(c, member);
        }
        return *this;
    }
    constexpr CharFilter& set(Predicate predicate, bool member)
    {
        for (size_t v = 0; v < table_.size(); ++v) {
            const char c = static_cast<char>(static_cast<unsigned char>(v));
            if (predicate(c)) {
                table_[v] = member;
            }
        }
        return *this;
    }

    std::array<bool, 256> table_{};
};

/// The predefined classes; later ones are unions of earlier ones.
namespace CharFilters {
extern const CharFilter isSpace;      ///< " \t\v\f\r\n"
extern const CharFilter isEndOfLine;  ///< "\n\r"
extern const CharFilter isDigit;
extern const CharFilter isXLowerDigit;  ///< digits, a-f and 'x'
extern const CharFilter isXUpperDigit;  ///< digits, A-F and 'X'
extern const CharFilter isXDigit;
extern const CharFilter isODigit;
extern const CharFilter isLower;
extern const CharFilter isUpper;
extern const CharFilter isAlpha;
extern const CharFilter isAlnum;
extern const CharFilter isPrint;  ///< what the C library's isprint accepts
}  // namespace CharFilters
