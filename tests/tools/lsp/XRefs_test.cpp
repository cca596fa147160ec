// Definition, references and rename over annotated sources.
#include "XRefs.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

using test::Annotations;

std::vector<Range> rangesOf(const std::vector<Location>& locations)
{
    std::vector<Range> result;
    for (const Location& location : locations) {
        result.push_back(location.range);
    }
    return result;
}

// A label used as an operand and in a symbol's value; the same word as a mnemonic, in a comment
// and as part of a longer name must not count.
constexpr const char* kLabels = "[[loop]]: nop\n"
                                "        jmp @[[lo^op]]\n"
                                ".DEF TARGET @[[loop]]\n"
                                "        loop R1, $TARGET   # loop\n"
                                "        jmp @loopy\n"
                                "loopy:  jmp @[[loop]]\n";

constexpr const char* kSymbols = ".DEF [[N]] 4\n"
                                 "N:      wait $[[^N]]\n"
                                 "        jmp @N\n";

TEST(XRefs, DefinitionAndReferences)
{
    for (const char* text : {kLabels, kSymbols}) {
        const Annotations source(text);
        const Document document("file:///t.tasm", "t.tasm", source.text, 1);
        const auto found = definition(document, source.point());
        ASSERT_TRUE(found) << text;
        EXPECT_EQ(found->range, source.ranges[0]) << text;
        EXPECT_EQ(rangesOf(references(document, source.point(), true)), source.ranges) << text;
        const auto withoutDefinition = references(document, source.point(), false);
        EXPECT_EQ(rangesOf(withoutDefinition),
                  std::vector<Range>(source.ranges.begin() + 1, source.ranges.end()))
            << text;
    }
    const Document undefined("file:///t.tasm", "t.tasm", " jmp @nowhere\n", 1);
    EXPECT_FALSE(definition(undefined, {0, 8}));
    EXPECT_FALSE(definition(undefined, {0, 2}));
}

TEST(XRefs, RenameEditsEveryPlaceOrRefuses)
{
    const Annotations source(kLabels);
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    const WorkspaceEdit edit = rename(document, source.point(), "again_2");
    ASSERT_EQ(edit.edits.size(), source.ranges.size());
    for (std::size_t i = 0; i < edit.edits.size(); ++i) {
        EXPECT_EQ(edit.edits[i].range, source.ranges[i]);
        EXPECT_EQ(edit.edits[i].newText, "again_2");
    }
    // Labels and symbols are separate name spaces.
    EXPECT_EQ(rename(document, source.point(), "TARGET").edits.size(), source.ranges.size());
    const auto message = [&](const char* name, Position at) {
        try {
            rename(document, at, name);
        } catch (const ProtocolError& e) {
            EXPECT_EQ(e.code(), ErrorCode::requestFailed);
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    for (const char* name : {"", "1st", "a-b", "@x", "caf\xC3\xA9", "a\nb:"}) {
        EXPECT_NE(message(name, source.point()).find("is not a valid label name"), std::string::npos) << name;
    }
    EXPECT_EQ(message("loopy", source.point()), "a label named 'loopy' is already used");
    EXPECT_EQ(message("x", {3, 9}), "there is no label or symbol here to rename");
}

} // namespace
} // namespace tarnasm::lsp
