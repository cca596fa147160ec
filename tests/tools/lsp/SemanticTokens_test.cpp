// SemanticTokens: each piece's type and place, relative encoding and UTF-16 columns.
#include "SemanticTokens.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnasm::lsp {
namespace {

/// The encoded tokens back as "line:start:length type[*]" (a star marks a definition).
std::vector<std::string> decoded(const std::vector<std::uint32_t>& data)
{
    std::vector<std::string> result;
    std::uint32_t line = 0;
    std::uint32_t start = 0;
    for (std::size_t i = 0; i + 5 <= data.size(); i += 5) {
        start = data[i] == 0 ? start + data[i + 1] : data[i + 1];
        line += data[i];
        result.push_back(std::to_string(line) + ":" + std::to_string(start) + ":" + std::to_string(data[i + 2]) +
                         " " + std::string(kSemanticTokenTypes[data[i + 3]]) + (data[i + 4] != 0 ? "*" : ""));
    }
    return result;
}

TEST(SemanticTokens, EveryPieceInPlace)
{
    const Document document("file:///t.tasm", "t.tasm",
                             "# caf\xC3\xA9 \xF0\x9F\x98\x80\n"
                             "start:  move 0x10, R1 # n\n"
                             ".DEF    AT @start\n"
                             "        jmp $AT\n"
                             "        nop junk\n",
                             1);
    const std::vector<std::string> all = {
        "0:0:9 comment",                     // UTF-16: the emoji is two units
        "1:0:5 function*",  "1:8:4 keyword", "1:13:4 number", "1:19:2 variable", "1:22:3 comment",
        "2:0:4 keyword",    "2:8:2 macro*",  "2:11:6 function",
        "3:8:3 keyword",    "3:12:3 macro",
        "4:8:3 keyword", // the refused operand is not coloured
    };
    EXPECT_EQ(decoded(semanticTokens(document)), all);
    // A range takes whole lines; positions stay absolute in the document.
    EXPECT_EQ(decoded(semanticTokens(document, Range{{2, 5}, {3, 0}})),
              (std::vector<std::string>(all.begin() + 6, all.begin() + 11)));
    EXPECT_TRUE(semanticTokens(document, Range{{40, 0}, {50, 0}}).empty());
}

} // namespace
} // namespace tarnasm::lsp
