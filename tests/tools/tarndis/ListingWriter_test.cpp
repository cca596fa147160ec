// ListingWriter: lines cut as the assembler cuts them, each beside its own address and word.
#include "ListingWriter.h"

#include "common/FileText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string listing(const tarnasm::Program& program, const std::string& source)
{
    std::ostringstream out;
    tarndis::ListingWriter(program, source).write(out);
    return out.str();
}

TEST(ListingWriter, SplitLines)
{
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(Lines{}, tarndis::ListingWriter::splitLines(""));
    EXPECT_EQ(Lines{""}, tarndis::ListingWriter::splitLines("\n"));
    EXPECT_EQ((Lines{"a", "b"}), tarndis::ListingWriter::splitLines("a\nb"));
    EXPECT_EQ((Lines{"a", "b"}), tarndis::ListingWriter::splitLines("a\r\nb\n"));
    EXPECT_EQ((Lines{"a", "b"}), tarndis::ListingWriter::splitLines("a\n\rb\r"));
    EXPECT_EQ((Lines{"a", "", "b"}), tarndis::ListingWriter::splitLines("a\r\rb"));
    EXPECT_EQ((Lines{"a", "", "b"}), tarndis::ListingWriter::splitLines("a\n\r\nb"));
    EXPECT_EQ((Lines{"a", ""}), tarndis::ListingWriter::splitLines("\xEF\xBB\xBF" "a\n\n"));
}

TEST(ListingWriter, MixedLineEndsKeepEachWordBesideItsLine)
{
    const fs::path file = fs::path(TARNDIS_SCRATCH) / "mixed.tasm";
    const std::string source = "\xEF\xBB\xBF# c\r\nstart: nop\rjmp @start\n\rend:\n\n   stop # x\n\r\r\n";
    testfiles::writeFile(file, source);
    EXPECT_EQ("                       # c\n"
              "0000 0800000000000000  start: nop\n"
              "0001 0e00000000000000  jmp @start\n"
              "0002                   end:\n"
              "\n"
              "0002 0400000000000000     stop # x\n"
              "\n",
              listing(tarnasm::assembleFile(file), source));
}

TEST(ListingWriter, CorpusListingsShowEveryLineAndEveryWordInOrder)
{
    for (const auto& entry : fs::recursive_directory_iterator(TARNASM_CORPUS)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("ok_") || !name.ends_with(".tasm")) {
            continue;
        }
        const std::string source = testfiles::readFile(entry.path());
        const tarnasm::Program program = tarnasm::assembleFile(entry.path());
        const auto lines = tarndis::ListingWriter::splitLines(source);
        std::istringstream listed(listing(program, source));
        std::size_t address = 0;
        std::size_t n = 0;
        for (std::string line; std::getline(listed, line); ++n) {
            ASSERT_LT(n, lines.size()) << name;
            EXPECT_EQ(lines[n], line.size() > 23 ? line.substr(23) : "") << name << ":" << n + 1;
            if (line.size() > 20 && line[5] != ' ') {
                ASSERT_LT(address, program.words().size()) << name;
                EXPECT_EQ(address, std::stoul(line.substr(0, 4), nullptr, 16)) << name << ":" << n + 1;
                EXPECT_EQ(program.words()[address++], std::stoull(line.substr(5, 16), nullptr, 16)) << name;
            }
        }
        EXPECT_EQ(lines.size(), n) << name;
        EXPECT_EQ(program.words().size(), address) << name;
    }
}

} // namespace
