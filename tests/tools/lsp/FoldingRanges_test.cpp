// Folding ranges and inlay hints: where a block ends and which references get a value.
#include "FoldingRanges.h"
#include "InlayHints.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

TEST(FoldingRanges, CommentBlocksAndLabelSections)
{
    // A label's section ends at its last instruction: trailing comments, blank lines and .DEF
    // lines stay outside; a label alone, and one comment line, fold nothing.
    const Document document("file:///t.tasm", "t.tasm",
                            "# one\n"            // 0
                            "a:\n"               // 1
                            "  nop\n"            // 2
                            "  # inside\n"       // 3
                            "  nop\n"            // 4
                            "\n"                 // 5
                            ".DEF N 1\n"         // 6
                            "b:\n"               // 7
                            "c: nop\n"           // 8
                            "  nop\n"            // 9
                            "# two\n"            // 10
                            "# three",           // 11
                            1);
    std::vector<std::tuple<int, int, std::string>> found;
    for (const FoldingRange& range : foldingRanges(document)) {
        found.emplace_back(range.startLine, range.endLine, range.kind);
    }
    const std::vector<std::tuple<int, int, std::string>> expected = {
        {1, 4, "region"}, {8, 9, "region"}, {10, 11, "comment"}};
    EXPECT_EQ(found, expected);
}

TEST(InlayHints, DefinedReferencesOnly)
{
    // A symbol counts from the line after its .DEF; an undefined label gets nothing; a label in a
    // .DEF value gets its address.
    const test::Annotations source("  wait $N\n"
                                   ".DEF N 4\n"
                                   ".DEF T @top^\n"
                                   "top: wait $N^\n"
                                   "  jmp @top^, @nowhere\n");
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    std::vector<std::pair<Position, std::string>> found;
    for (const InlayHint& hint : inlayHints(document, {{0, 0}, {9, 0}})) {
        found.emplace_back(hint.position, hint.label);
    }
    const std::vector<std::pair<Position, std::string>> expected = {
        {source.points[0], "= 0"}, {source.points[1], "= 4"}, {source.points[2], "= 0"}};
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(inlayHints(document, {{4, 0}, {2, 0}}).empty());
    // The end is exclusive, and a hint belongs to the reference it follows ('@' or '$' included).
    const auto labels = [&](const Range& range) {
        std::vector<std::string> found;
        for (const InlayHint& hint : inlayHints(document, range)) {
            found.push_back(std::to_string(hint.position.line) + hint.label);
        }
        return found;
    };
    EXPECT_EQ(labels({{2, 0}, {4, 0}}), (std::vector<std::string>{"2= 0", "3= 4"}));
    EXPECT_EQ(labels({{3, 0}, {3, 10}}), (std::vector<std::string>{})); // ends at $N
    EXPECT_EQ(labels({{3, 11}, {4, 7}}), (std::vector<std::string>{"4= 0"}));
}

} // namespace
} // namespace tarnasm::lsp
