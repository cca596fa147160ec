// Fuzz target: integer conversion of any text, and the parser's register and immediate values.
#include "FuzzSupport.h"

#include "asmparser/AsmParser.h"
#include "source/AsmError.h"
#include "support/StringUtil.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

/// The converted value, or nothing; only the two designed exceptions may come out, and a
/// failed conversion leaves the target as it was.
template <typename T>
std::optional<T> convert(const std::string& text)
{
    const T untouched = static_cast<T>(42);
    T value = untouched;
    try {
        stringToInt(value, text);
        FUZZ_CHECK(decimalStringLength(value) == std::to_string(value).length());
        return value;
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    FUZZ_CHECK(value == untouched);
    return std::nullopt;
}

/// A narrower type converts exactly when the widest one does and the value fits.
template <typename Narrow, typename Wide>
void checkNarrowing(const std::string& text, const std::optional<Wide>& wide)
{
    const std::optional<Narrow> narrow = convert<Narrow>(text);
    const bool fits = wide && *wide >= static_cast<Wide>(std::numeric_limits<Narrow>::lowest()) &&
                      *wide <= static_cast<Wide>(std::numeric_limits<Narrow>::max());
    FUZZ_CHECK(narrow.has_value() == fits);
    FUZZ_CHECK(!narrow || static_cast<Wide>(*narrow) == *wide);
}

/// The value written back in each base converts to itself.
void checkRoundTrip(long long value)
{
    FUZZ_CHECK(convert<long long>(std::to_string(value)) == value);
    if (value >= 0) {
        std::ostringstream hex, octal;
        hex << "0x" << std::hex << value;
        octal << '0' << std::oct << value;
        FUZZ_CHECK(convert<long long>(hex.str()) == value);
        FUZZ_CHECK(convert<long long>(octal.str()) == value);
    }
}

void checkParserValues(const std::string& text, const std::optional<long long>& expected)
{
    const auto line = std::make_shared<const SourceLine>(std::string(text), 1, nullptr);
    const AsmToken token(line);
    try {
        FUZZ_CHECK(AsmParser::parseImmediateIntValue(token) == expected);
    } catch (const AsmSyntaxError& e) {
        FUZZ_CHECK(!expected);
        FUZZ_CHECK(e.errorMessage().starts_with("Syntax error: AsmParser: Invalid Immediate argument: "));
        FUZZ_CHECK(e.what() != nullptr);
    }
    // A register's number is the text after its letter, converted the same way.
    if (!text.empty()) {
        const std::optional<long long> number = convert<long long>(text.substr(1));
        try {
            FUZZ_CHECK(AsmParser::parseRegisterIntValue(token) == number);
        } catch (const AsmSyntaxError&) {
            FUZZ_CHECK(!number);
        }
    }
    // The whole argument path: a value comes out only as a register or an immediate.
    static AsmParser parser;
    try {
        const auto argument = parser.parseArgument(token);
        FUZZ_CHECK(argument->isRegister() || argument->isImmediate());
        FUZZ_CHECK(argument->hasIntValue() || argument->hasAddressRef());
    } catch (const AsmError& e) {
        FUZZ_CHECK(e.what() != nullptr);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<long long> signedValue = convert<long long>(text);
    checkNarrowing<int>(text, signedValue);
    checkNarrowing<short>(text, signedValue);
    const std::optional<unsigned long long> unsignedValue = convert<unsigned long long>(text);
    checkNarrowing<unsigned int>(text, unsignedValue);
    checkNarrowing<unsigned short>(text, unsignedValue);
    checkNarrowing<unsigned long>(text, unsignedValue);
    if (signedValue) {
        checkRoundTrip(*signedValue);
    }
    checkParserValues(text, signedValue);
    return 0;
}
