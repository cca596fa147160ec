// Tests of formatting, integer conversion at its edges and the string helpers.
// Ordinary number formats and their errors are checked end to end.
#include "support/StringUtil.h"

#include "support/Logging.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string logged;

void captureLog(const char* format, va_list args)
{
    char buffer[4096];
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    logged += buffer;
}

template <typename T>
std::string conversionError(const std::string& text)
{
    T value = 77;
    try {
        stringToInt(value, text);
    } catch (const std::exception& e) {
        EXPECT_EQ(T(77), value) << "result changed on error for '" << text << "'";
        return e.what();
    }
    return "no error, value " + std::to_string(value);
}

template <typename T>
T converted(const std::string& text)
{
    T value = 77;
    stringToInt(value, text);
    return value;
}

} // namespace

TEST(StringUtil, StringToIntAcceptsEveryBaseAndSaturatesHugeValues)
{
    EXPECT_EQ(42, converted<int>(" 42"));
    EXPECT_EQ(0, converted<int>(""));
    EXPECT_EQ(-32768, converted<short>("-32768"));
    EXPECT_EQ(ULLONG_MAX, converted<unsigned long long>("-1"));
    EXPECT_EQ(LLONG_MAX, converted<long long>("99999999999999999999"));
    EXPECT_EQ(LLONG_MIN, converted<long long>("-99999999999999999999"));
    EXPECT_EQ(ULLONG_MAX, converted<unsigned long long>("99999999999999999999"));
}

TEST(StringUtil, StringToIntRejectsWithExactMessage)
{
    EXPECT_EQ("Value '42 ' is not a valid integer. Invalid character ' ' at index 2", conversionError<int>("42 "));
    EXPECT_EQ("Value '0x' is not a valid integer. Invalid character 'x' at index 1", conversionError<int>("0x"));
    // A prefix without digits stops after its "0" on every C library.
    EXPECT_EQ("Value ' -0Xg' is not a valid integer. Invalid character 'X' at index 3",
              conversionError<unsigned long long>(" -0Xg"));
    EXPECT_EQ("Value '-' is not a valid integer. Invalid character '-' at index 0", conversionError<int>("-"));
    // An embedded NUL ends the C conversion early; it must not end the check. (The message holds
    // the NUL itself, so what() stops there.)
    unsigned int value = 77;
    EXPECT_THROW(stringToInt(value, std::string("12\0" "3", 4)), std::invalid_argument);
    EXPECT_THROW(stringToInt(value, std::string("5\0", 2)), std::invalid_argument);
    EXPECT_EQ(77u, value);

    EXPECT_EQ("Value '32768' is out of range for an 16 bits signed integer", conversionError<short>("32768"));
    EXPECT_EQ("Value '-32769' is out of range for an 16 bits signed integer", conversionError<short>("-32769"));
    EXPECT_EQ("Value '-1' is out of range for an 32 bits unsigned integer", conversionError<unsigned int>("-1"));
    EXPECT_EQ("Value '0x100000000' is out of range for an 32 bits unsigned integer",
              conversionError<unsigned int>("0x100000000"));
}

TEST(StringUtil, DecimalStringLengthAtTheExtremes)
{
    EXPECT_EQ(6u, decimalStringLength(static_cast<short>(SHRT_MIN)));
    EXPECT_EQ(11u, decimalStringLength(INT_MIN));
    EXPECT_EQ(20u, decimalStringLength(LLONG_MIN));
    EXPECT_EQ(19u, decimalStringLength(LLONG_MAX));
    EXPECT_EQ(20u, decimalStringLength(ULLONG_MAX));
}

TEST(StringUtil, StrprintfNeverTruncatesAndStringFormatCutsAt511WithAWarning)
{
    for (size_t length : {0u, 1023u, 1024u, 1025u, 5000u}) {
        const std::string text(length, 'x');
        std::string out = "old";
        EXPECT_EQ(static_cast<int>(length + 2), strprintf(out, "<%s>", text.c_str()));
        EXPECT_EQ("<" + text + ">", out);
    }
    Logging::setLogLevel(Logging::WARNING);
    Logging::extra_log_cb = captureLog;
    for (size_t length : {510u, 511u, 512u, 600u}) {
        logged.clear();
        const std::string text(length, 'y');
        EXPECT_EQ(text.substr(0, 511), stringFormat("%s", text.c_str()));
        EXPECT_EQ(length > 511, logged.find("stringFormat: output truncated") != std::string::npos) << length;
    }
    Logging::extra_log_cb = nullptr;
}

TEST(StringUtil, SmallHelpers)
{
    const char* c = "c";
    EXPECT_EQ("ab c|-5|7|" + std::to_string(ULONG_MAX) + "|x",
              stringCat("a", std::string("b "), c, '|', -5, '|', 7u, '|', ULONG_MAX, '|', 'x'));
    std::string s = "aaa";
    replaceAll(s, "a", "aa");  // replacement text is not searched again
    EXPECT_EQ("aaaaaa", s);
    replaceAll(s, "", "x");
    EXPECT_EQ("aaaaaa", s);
    EXPECT_EQ("AB\xE9Z\x80", toUpper("ab\xE9z\x80"));
}
