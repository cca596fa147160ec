// HexText: the .hex format, one word a line in 16 hexadecimal digits, read, written and saved.
#include "support/InputFile.h"
#include "support/ReplaceFile.h"
#include "support/StringUtil.h"
#include "support/Utf8Path.h"

#include <tarnasm/tarnasm.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <sstream>
#include <system_error>

namespace tarnasm {

namespace {

constexpr size_t digitsPerWord = 16;

/// A character as a message shows it: printable ones quoted, others by their code.
std::string shown(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code >= 0x20 && code < 0x7F) {
        return std::string("'") + c + "'";
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", code);
    return std::string("byte ") + text;
}

[[noreturn]] void fail(int line, size_t column, const std::string& problem)
{
    throw HexFormatError("", problem, line, static_cast<int>(column));
}

std::uint64_t readWord(std::string_view text, int line)
{
    std::uint64_t word = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0 || i == digitsPerWord) {
            if (digit < 0) {
                fail(line, i, shown(text[i]) + " is not a hexadecimal digit");
            }
            fail(line, i, "a word has 16 hexadecimal digits; this line has " + std::to_string(text.size()));
        }
        word = (word << 4) | static_cast<std::uint64_t>(digit);
    }
    if (text.empty()) {
        fail(line, 0, "blank line; every line holds one word of 16 hexadecimal digits");
    }
    if (text.size() < digitsPerWord) {
        fail(line, text.size(),
             "a word has 16 hexadecimal digits; this line has " + std::to_string(text.size()));
    }
    return word;
}

} // namespace

HexFormatError::HexFormatError(const std::string& where, const std::string& problem, int line, int column)
    : std::runtime_error(where + "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                         problem),
      problem_(problem), line_(line), column_(column)
{
}

std::vector<std::uint64_t> readHex(std::string_view text)
{
    std::vector<std::uint64_t> words;
    int line = 0;
    size_t begin = 0;
    while (begin < text.size()) {
        ++line;
        const size_t feed = text.find('\n', begin);
        const size_t end = feed == std::string_view::npos ? text.size() : feed;
        std::string_view content = text.substr(begin, end - begin);
        // Text copied through a system that ends lines with CR LF stays readable.
        if (feed != std::string_view::npos && !content.empty() && content.back() == '\r') {
            content.remove_suffix(1);
        }
        if (words.size() == kInstructionMemoryWords) {
            fail(line, 0, "more than " + std::to_string(kInstructionMemoryWords) +
                              " words; the instruction memory holds no more");
        }
        words.push_back(readWord(content, line));
        begin = feed == std::string_view::npos ? text.size() : feed + 1;
    }
    return words;
}

std::string writeHex(std::span<const std::uint64_t> words)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text(words.size() * (digitsPerWord + 1), '\n');
    char* out = text.data();
    for (std::uint64_t word : words) {
        for (int i = static_cast<int>(digitsPerWord) - 1; i >= 0; --i) {
            out[i] = digits[word & 0xF];
            word >>= 4;
        }
        out += digitsPerWord + 1;
    }
    return text;
}

std::vector<std::uint64_t> loadHex(const std::filesystem::path& path)
{
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(path, ec).type();
    if (type == std::filesystem::file_type::directory) {
        throw std::filesystem::filesystem_error("cannot read a directory as a .hex file", path,
                                                std::make_error_code(std::errc::is_a_directory));
    }
    // A pipe without a writer would keep the reader waiting for ever, and a device may never
    // end: only a regular file is read, as the assembler reads only regular sources.
    if (!ec && type != std::filesystem::file_type::regular) {
        throw std::filesystem::filesystem_error("cannot read a .hex file from what is not a regular file", path,
                                                std::make_error_code(std::errc::invalid_argument));
    }
    InputFile file(path, std::ios::in | std::ios::binary);
    if (!file) {
        throw std::filesystem::filesystem_error("cannot open .hex file", path, file.error());
    }
    // A full memory's text and one line more are enough to judge any file: no more is read.
    constexpr size_t enough = (kInstructionMemoryWords + 1) * (digitsPerWord + 2) + 1;
    std::string text(enough, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        throw std::filesystem::filesystem_error("cannot read .hex file", path, file.error());
    }
    text.resize(static_cast<size_t>(file.gcount()));
    const bool cut = text.size() == enough && file.peek() != std::char_traits<char>::eof();
    try {
        if (!cut) {
            return readHex(text);
        }
        // What was read ends inside a line: its whole lines come first, then that line is either
        // one word too many or longer than any word, whatever the rest of the file holds.
        const size_t lastFeed = text.rfind('\n');
        const std::string_view whole = std::string_view(text).substr(0, lastFeed == std::string::npos ? 0 : lastFeed + 1);
        const std::vector<std::uint64_t> words = readHex(whole);
        const int line = static_cast<int>(words.size()) + 1;
        if (words.size() == kInstructionMemoryWords) {
            readHex(text);  // throws for the word too many
        }
        const std::string_view rest = std::string_view(text).substr(whole.size());
        const auto bad = std::find_if(rest.begin(), rest.begin() + digitsPerWord, [](char c) { return hexDigitValue(c) < 0; });
        if (bad != rest.begin() + digitsPerWord) {
            fail(line, static_cast<size_t>(bad - rest.begin()), shown(*bad) + " is not a hexadecimal digit");
        }
        fail(line, digitsPerWord, "a word has 16 hexadecimal digits; this line has more than " +
                                      std::to_string(rest.size()));
    } catch (const HexFormatError& e) {
        throw HexFormatError(utf8FromPath(path) + ": ", e.problem(), e.line(), e.column());
    }
}

void saveHex(const std::filesystem::path& path, std::span<const std::uint64_t> words)
{
    const std::string text = writeHex(words);
    std::error_code reason;
    const ReplaceFileResult result = replaceFile(
        path,
        [&text](std::ostream& file) {
            file.write(text.data(), static_cast<std::streamsize>(text.size()));
            return static_cast<bool>(file);
        },
        reason);
    if (result == ReplaceFileResult::cannotOpen) {
        throw std::filesystem::filesystem_error("could not open file for writing", path, reason);
    }
    if (result == ReplaceFileResult::cannotWrite) {
        throw std::filesystem::filesystem_error("could not write file", path, reason);
    }
}

} // namespace tarnasm
