// StringUtil: formatting, integer conversion with exact messages, string helpers.
#include "support/StringUtil.h"

#include "support/Logging.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <utility>

int strprintf(std::string& out, const char* format, va_list args)
{
    char buffer[1024];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(buffer, sizeof(buffer), format, args);
    if (needed < 0) {
        va_end(copy);
        return needed;
    }
    if (static_cast<size_t>(needed) < sizeof(buffer)) {
        out.assign(buffer, static_cast<size_t>(needed));
    } else {
        auto large = std::make_unique<char[]>(static_cast<size_t>(needed) + 1);
        std::vsnprintf(large.get(), static_cast<size_t>(needed) + 1, format, copy);
        out.assign(large.get(), static_cast<size_t>(needed));
    }
    va_end(copy);
    return static_cast<int>(out.length());
}

int strprintf(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = strprintf(out, format, args);
    va_end(args);
    return result;
}

std::string stringFormat(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int needed = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (needed < 0) {
        return std::string();
    }
    if (static_cast<size_t>(needed) >= sizeof(buffer) && Logging::getLogLevel() >= Logging::WARNING) {
        Logging::write(Logging::WARNING, "%s", "stringFormat: output truncated");
    }
    return std::string(buffer);
}

std::out_of_range integerOutOfRangeError(const std::string& text, unsigned int sizeInBytes, bool isSigned)
{
    return std::out_of_range(stringCat("Value '", text, "' is out of range for an ", 8 * sizeInBytes,
                                       " bits ", isSigned ? "signed" : "unsigned", " integer"));
}

std::invalid_argument invalidIntegerError(const std::string& text, size_t index)
{
    const char bad = index < text.length() ? text[index] : '\0';
    return std::invalid_argument(stringCat("Value '", text, "' is not a valid integer. ", "Invalid character '",
                                           std::string(1, bad), "' at index ", static_cast<unsigned long>(index)));
}

namespace {

/// For text like "0x" or " -0xg", where the C library's conversion in base 0 must stop: after the
/// "0", since no hexadecimal digit follows the "x". Windows' C runtime converts nothing there, which
/// would blame another character. npos for any other text.
size_t endOfBareHexPrefix(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const bool bare = i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
                      (i + 2 == text.size() || hexDigitValue(text[i + 2]) < 0);
    return bare ? i + 1 : std::string::npos;
}

/// Throws when the conversion, which stopped at end, did not read the whole text: an embedded NUL
/// is reported, not silently accepted.
void requireWholeText(const std::string& text, const char* end)
{
    const size_t consumed = static_cast<size_t>(end - text.c_str());
    if (consumed != text.length()) {
        const size_t bareHexEnd = endOfBareHexPrefix(text);
        throw invalidIntegerError(text, bareHexEnd != std::string::npos ? bareHexEnd : consumed);
    }
}

template <typename T>
void _stringToIntSigned(T& result, const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 0);
    requireWholeText(text, end);
    if (value > static_cast<long long>(std::numeric_limits<T>::max()) ||
        value < static_cast<long long>(std::numeric_limits<T>::lowest())) {
        throw integerOutOfRangeError(text, sizeof(T), true);
    }
    result = static_cast<T>(value);
}

template <typename T>
void _stringToIntUnsigned(T& result, const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(begin, &end, 0);
    requireWholeText(text, end);
    if (value > static_cast<unsigned long long>(std::numeric_limits<T>::max())) {
        throw integerOutOfRangeError(text, sizeof(T), false);
    }
    result = static_cast<T>(value);
}

template <typename T>
size_t _decimalStringLengthUnsigned(T value)
{
    size_t digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// Counts on the magnitude as unsigned so the most negative value is never negated.
template <typename T>
size_t _decimalStringLengthSigned(T value)
{
    using U = std::make_unsigned_t<T>;
    if (value < 0) {
        const U magnitude = static_cast<U>(U(0) - static_cast<U>(value));
        return 1 + _decimalStringLengthUnsigned(magnitude);
    }
    return _decimalStringLengthUnsigned(static_cast<U>(value));
}

} // namespace

void stringToInt(short& result, const std::string& text) { _stringToIntSigned(result, text); }
void stringToInt(int& result, const std::string& text) { _stringToIntSigned(result, text); }
void stringToInt(long long& result, const std::string& text) { _stringToIntSigned(result, text); }
void stringToInt(unsigned short& result, const std::string& text) { _stringToIntUnsigned(result, text); }
void stringToInt(unsigned int& result, const std::string& text) { _stringToIntUnsigned(result, text); }
void stringToInt(unsigned long long& result, const std::string& text) { _stringToIntUnsigned(result, text); }
void stringToInt(unsigned long& result, const std::string& text) { _stringToIntUnsigned(result, text); }

size_t decimalStringLength(unsigned long long value) { return _decimalStringLengthUnsigned(value); }
size_t decimalStringLength(unsigned int value) { return _decimalStringLengthUnsigned(value); }
size_t decimalStringLength(unsigned short value) { return _decimalStringLengthUnsigned(value); }
size_t decimalStringLength(unsigned long value) { return _decimalStringLengthUnsigned(value); }
size_t decimalStringLength(long long value) { return _decimalStringLengthSigned(value); }
size_t decimalStringLength(int value) { return _decimalStringLengthSigned(value); }
size_t decimalStringLength(short value) { return _decimalStringLengthSigned(value); }

std::string toUpper(const std::string& s)
{
    std::string result(s);
    for (char& c : result) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

std::string toLower(const std::string& s)
{
    std::string result(s);
    for (char& c : result) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

void replaceAll(std::string& s, const std::string& from, const std::string& to)
{
    if (from.empty()) {
        return;
    }
    size_t pos = s.find(from);
    if (pos == std::string::npos) {
        return;
    }
    // Built in one pass: replacing in place would be quadratic on long lines.
    std::string result;
    result.reserve(s.length());
    size_t done = 0;
    while (pos != std::string::npos) {
        result.append(s, done, pos - done);
        result += to;
        done = pos + from.length();
        pos = s.find(from, done);
    }
    result.append(s, done, std::string::npos);
    s = std::move(result);
}

bool endsWith(const std::string& s, char c)
{
    return !s.empty() && s.back() == c;
}

void removeFromEnd(std::string& s, char c)
{
    if (endsWith(s, c)) {
        s.pop_back();
    }
}
