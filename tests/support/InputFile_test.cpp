// InputFile: reads and seeks across its buffer, and a read error is not the end of the file.
#include "support/InputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

TEST(InputFile, ReadsAndSeeksAcrossItsBuffer)
{
    const fs::path path = fs::path(::testing::TempDir()) / "InputFile_test.txt";
    std::string text;
    for (int i = 0; text.size() < 20000; ++i) {
        text += std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    }
    std::ofstream(path, std::ios::binary) << text;

    InputFile file(path, std::ios::in | std::ios::binary);
    ASSERT_TRUE(file.is_open());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), text);

    // Positions count the characters taken, not those the buffer holds.
    file.clear();
    file.seekg(0, std::ios::end);
    EXPECT_EQ(file.tellg(), static_cast<std::streamoff>(text.size()));
    file.seekg(8190);
    char two[2];
    file.read(two, 2);
    EXPECT_EQ(file.tellg(), 8192);
    file.seekg(-4, std::ios::cur);
    EXPECT_EQ(file.get(), text[8188]);
    file.close();
    EXPECT_TRUE(file.good());
    fs::remove(path);

    file.close();
    EXPECT_TRUE(file.fail());
    file.open(path);
    EXPECT_FALSE(file.is_open());
    EXPECT_TRUE(file.fail());
}

TEST(InputFile, ReadErrorIsNotTheEnd)
{
    // A file that procfs lists but cannot read from its start.
    if (!fs::exists("/proc/self/mem")) {
        GTEST_SKIP() << "no /proc/self/mem";
    }
    InputFile file("/proc/self/mem");
    ASSERT_TRUE(file.is_open());
    EXPECT_EQ(file.get(), std::char_traits<char>::eof());
    EXPECT_TRUE(file.bad());
    EXPECT_FALSE(file.eof());
}

} // namespace
