// StringUtil: printf-style formatting, checked integer conversion, concatenation
// and small string helpers shared by every subsystem.
#pragma once

#include <cstdarg>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

/// Formats into out; never truncates. Returns the length of out, or the
/// negative result of a format error (out untouched).
int strprintf(std::string& out, const char* format, va_list args);
int strprintf(std::string& out, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/// Formats into a 512-byte buffer: longer results are cut to 511 characters
/// and a warning is logged.
std::string stringFormat(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/// The value of a hexadecimal digit of either case; -1 for any other character.
inline int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::out_of_range integerOutOfRangeError(const std::string& text, unsigned int sizeInBytes, bool isSigned);
std::invalid_argument invalidIntegerError(const std::string& text, size_t index);

/// Converts the whole text (decimal, 0x hexadecimal or leading-0 octal);
/// throws std::invalid_argument or std::out_of_range, leaving result unchanged.
void stringToInt(short& result, const std::string& text);
void stringToInt(int& result, const std::string& text);
void stringToInt(long long& result, const std::string& text);
void stringToInt(unsigned short& result, const std::string& text);
void stringToInt(unsigned int& result, const std::string& text);
void stringToInt(unsigned long long& result, const std::string& text);
void stringToInt(unsigned long& result, const std::string& text);

/// Number of characters of the value's decimal text, minus sign included.
size_t decimalStringLength(unsigned long long value);
size_t decimalStringLength(unsigned int value);
size_t decimalStringLength(unsigned short value);
size_t decimalStringLength(unsigned long value);
size_t decimalStringLength(long long value);
size_t decimalStringLength(int value);
size_t decimalStringLength(short value);

std::string toUpper(const std::string& s);
std::string toLower(const std::string& s);
/// Replaces every occurrence; text produced by a replacement is not searched
/// again. An empty from text changes nothing.
void replaceAll(std::string& s, const std::string& from, const std::string& to);
bool endsWith(const std::string& s, char c);
/// Removes at most one trailing c.
void removeFromEnd(std::string& s, char c);

// Variadic concatenation: sizes the result once, then appends each piece.
inline void addLength(size_t&) {}

template <typename Head, typename... Tail>
void addLength(size_t& sum, const Head& head, const Tail&... tail)
{
    using H = std::decay_t<Head>;
    if constexpr (std::is_same_v<H, std::string>) {
        sum += head.length();
    } else if constexpr (std::is_same_v<H, const char*> || std::is_same_v<H, char*>) {
        sum += std::strlen(head);
    } else if constexpr (std::is_same_v<H, char>) {
        sum += 1;
    } else {
        static_assert(std::is_same_v<H, unsigned int> || std::is_same_v<H, int> ||
                          std::is_same_v<H, unsigned long>,
                      "stringCat takes strings, C strings, char, int, unsigned int, unsigned long");
        sum += decimalStringLength(head);
    }
    addLength(sum, tail...);
}

template <typename... Args>
size_t totalLength(const std::string& out, const Args&... args)
{
    size_t sum = out.length();
    addLength(sum, args...);
    return sum;
}

inline void append_(bool, std::string&) {}

template <typename Head, typename... Tail>
void append_(bool first, std::string& out, const Head& head, const Tail&... tail)
{
    if (first) {
        out.reserve(totalLength(out, head, tail...));
    }
    using H = std::decay_t<Head>;
    if constexpr (std::is_same_v<H, std::string> || std::is_same_v<H, const char*> ||
                  std::is_same_v<H, char*> || std::is_same_v<H, char>) {
        out += head;
    } else {
        out += std::to_string(head);
    }
    append_(false, out, tail...);
}

template <typename... Args>
void append(std::string& out, const Args&... args)
{
    append_(true, out, args...);
}

template <typename... Args>
std::string stringCat(const Args&... args)
{
    std::string result;
    append(result, args...);
    return result;
}
