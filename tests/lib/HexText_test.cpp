// Tests of the .hex format: reading what the writer writes, and every malformed text.
#include "common/FileText.h"
#ifndef _WIN32
#include "common/Fifo.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

/// The reason a file call failed with, or success.
std::error_code failure(const std::function<void()>& call)
{
    try {
        call();
    } catch (const fs::filesystem_error& e) {
        EXPECT_NE(std::string(e.what()).find(e.code().message()), std::string::npos) << e.what();
        return e.code();
    }
    return {};
}

#ifndef _WIN32
/// Run in a child: the limit and the ignored signal would stay with the test process.
void saveBeyondTheSizeLimit(const fs::path& file, const std::vector<std::uint64_t>& words)
{
    const rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    std::cerr << failure([&] { tarnasm::saveHex(file, words); }).message();
    std::_Exit(fs::exists(file) ? 1 : 0);
}
#endif

} // namespace

TEST(HexText, ReadsWhatItWrites)
{
    const std::vector<std::uint64_t> words{0, 1, 0xFFFFFFFFFFFFFFFFull, 0x0123456789abcdefull};
    const std::string text = tarnasm::writeHex(words);
    EXPECT_EQ(text, "0000000000000000\n0000000000000001\nffffffffffffffff\n0123456789abcdef\n");
    EXPECT_EQ(tarnasm::readHex(text), words);
    EXPECT_EQ(tarnasm::writeHex({}), "");
    // Accepted besides: upper case, CR LF line ends, no line feed after the last word, no words.
    EXPECT_EQ(tarnasm::readHex("0123456789ABCDEF\r\n0000000000000001"),
              (std::vector<std::uint64_t>{0x0123456789abcdefull, 1}));
    EXPECT_TRUE(tarnasm::readHex("").empty());
}

TEST(HexText, MalformedTextNamesLineAndColumn)
{
    struct Case { std::string text; int line; int column; const char* message; };
    const std::string word = "0000000000000000\n";
    const Case cases[] = {
        {"\n", 1, 0, "line 1, column 0: blank line; every line holds one word of 16 hexadecimal digits"},
        {word + "\n" + word, 2, 0, "line 2, column 0: blank line; every line holds one word of 16 hexadecimal digits"},
        {"000000000000000\n", 1, 15, "line 1, column 15: a word has 16 hexadecimal digits; this line has 15"},
        {"00000000000000000\n", 1, 16, "line 1, column 16: a word has 16 hexadecimal digits; this line has 17"},
        {word + "00000000 0000000\n", 2, 8, "line 2, column 8: ' ' is not a hexadecimal digit"},
        {"000000000000000g", 1, 15, "line 1, column 15: 'g' is not a hexadecimal digit"},
        {std::string("0000\0", 5), 1, 4, "line 1, column 4: byte 0x00 is not a hexadecimal digit"},
        // A lone CR is no line end, and a CR before the last line's end is a character.
        {"0000000000000000\r0000000000000000\n", 1, 16, "line 1, column 16: byte 0x0d is not a hexadecimal digit"},
        {"0000000000000000\r", 1, 16, "line 1, column 16: byte 0x0d is not a hexadecimal digit"},
        {"0x00000000000000\n", 1, 1, "line 1, column 1: 'x' is not a hexadecimal digit"},
    };
    for (const Case& c : cases) {
        try {
            tarnasm::readHex(c.text);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const tarnasm::HexFormatError& e) {
            EXPECT_EQ(e.what(), std::string(c.message));
            EXPECT_EQ(e.line(), c.line) << c.message;
            EXPECT_EQ(e.column(), c.column) << c.message;
        }
    }
    std::string full;
    for (size_t i = 0; i < tarnasm::kInstructionMemoryWords; ++i) {
        full += word;
    }
    EXPECT_EQ(tarnasm::readHex(full).size(), tarnasm::kInstructionMemoryWords);
    try {
        tarnasm::readHex(full + word);
        ADD_FAILURE() << "a word beyond the memory was accepted";
    } catch (const tarnasm::HexFormatError& e) {
        EXPECT_EQ(e.line(), 16385);
        EXPECT_EQ(std::string(e.what()), "line 16385, column 0: more than 16384 words; the instruction memory holds no more");
    }
}

TEST(HexText, FilesAreSavedWholeOrNotAtAll)
{
    const fs::path dir = fs::path(TARNASM_SCRATCH) / "hextext";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / "prog.hex";
    testfiles::writeFile(file, "old\n");

    const std::vector<std::uint64_t> words{1, 2};
    tarnasm::saveHex(file, words);
    EXPECT_EQ(tarnasm::loadHex(file), words);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    EXPECT_THROW(tarnasm::saveHex(dir / "missing" / "prog.hex", words), fs::filesystem_error);
    EXPECT_THROW(tarnasm::loadHex(dir / "missing.hex"), fs::filesystem_error);
    EXPECT_THROW(tarnasm::loadHex(dir), fs::filesystem_error);
    // Reading fails at the first byte here: the file must not pass for an empty one.
    if (fs::exists("/proc/self/mem")) {
        EXPECT_THROW(tarnasm::loadHex("/proc/self/mem"), fs::filesystem_error);
    }

    // A file is read only as far as a full memory's text: a longer line is judged from its start.
    testfiles::writeFile(dir / "long.hex", "0000000000000000\n" + std::string(1'000'000, '0'));
    try {
        tarnasm::loadHex(dir / "long.hex");
        ADD_FAILURE() << "long.hex was accepted";
    } catch (const tarnasm::HexFormatError& e) {
        EXPECT_EQ(e.line(), 2);
        EXPECT_EQ(e.problem(), "a word has 16 hexadecimal digits; this line has more than 294914");
    }

#ifndef _WIN32
    // A pipe is written into, not replaced by a regular file.
    const testfiles::Fifo fifo(dir / "pipe.hex");
    ASSERT_TRUE(fifo.ok());
    tarnasm::saveHex(dir / "pipe.hex", words);
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.hex"));
    EXPECT_EQ(fifo.drain(), tarnasm::writeHex(words));
#endif

    testfiles::writeFile(dir / "bad.hex", "0000000000000000\nxyz\n");
    try {
        tarnasm::loadHex(dir / "bad.hex");
        ADD_FAILURE() << "bad.hex was accepted";
    } catch (const tarnasm::HexFormatError& e) {
        EXPECT_EQ(std::string(e.what()), (dir / "bad.hex").string() + ": line 2, column 0: 'x' is not a hexadecimal digit");
        EXPECT_EQ(e.problem(), "'x' is not a hexadecimal digit");
    }
    fs::remove_all(dir);
}

TEST(HexText, FileErrorsGiveTheSystemsReason)
{
    const fs::path dir = fs::path(TARNASM_SCRATCH) / "hexreasons";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::vector<std::uint64_t> words(100, 0x0123456789abcdefull);
    using E = std::errc;
    const struct
    {
        const char* what;
        std::function<void()> call;
        std::error_code reason;
    } cases[] = {
        {"save into a missing folder", [&] { tarnasm::saveHex(dir / "missing" / "p.hex", words); },
         std::make_error_code(E::no_such_file_or_directory)},
        {"load a missing file", [&] { tarnasm::loadHex(dir / "missing.hex"); },
         std::make_error_code(E::no_such_file_or_directory)},
        {"load a folder", [&] { tarnasm::loadHex(dir); }, std::make_error_code(E::is_a_directory)},
#ifndef _WIN32
        {"save over a folder", [&] { tarnasm::saveHex(dir, words); }, std::make_error_code(E::is_a_directory)},
#endif
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failure(c.call), c.reason) << c.what;
    }
    EXPECT_TRUE(fs::is_directory(dir)) << "a folder is not replaced";
#ifndef _WIN32
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(failure([&] { tarnasm::saveHex("/dev/full", words); }),
                  std::make_error_code(E::no_space_on_device));
    }
    EXPECT_EXIT(saveBeyondTheSizeLimit(dir / "big.hex", words), ::testing::ExitedWithCode(0), "File too large");
    // A pipe nobody writes into is refused at once, not waited on.
    ASSERT_EQ(mkfifo((dir / "silent.hex").c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            alarm(10);
            std::cerr << failure([&] { tarnasm::loadHex(dir / "silent.hex"); }).message();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "Invalid argument");
#endif
    fs::remove_all(dir);
}
