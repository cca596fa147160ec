// Completion: which items each place in a line offers, and the word they replace.
#include "CodeComplete.h"

#include "Annotations.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnasm::lsp {
namespace {

using test::Annotations;

TEST(CodeComplete, ItemsFitThePlace)
{
    struct Case
    {
        const char* source;
        std::vector<std::string> offered;
        std::vector<std::string> notOffered;
    };
    // Symbols are offered only after their definition.
    const char* program = "start: nop\n.DEF N 4\n";
    const Case cases[] = {
        {"  [[mo^]]", {"move", ".DEF"}, {"R0"}},
        {"here: [[n^]]", {"nop"}, {".DEF", "R0"}},
        {"  jmp ^", {"R0", "R63", "@start", "$N"}, {"nop", "R64"}},
        {"  add R1, [[R^]]", {"R1", "@start"}, {"nop"}},
        {"  jmp @[[s^]]", {"@start"}, {"R0", "$N"}},
        {"  wait $[[^]]\n.DEF LATE 4", {"$N"}, {"@start", "$LATE"}},
        {"  wait 5 # ^", {}, {"nop", "R0"}},
        {".DEF ^", {}, {"nop", ".DEF"}},
    };
    for (const Case& c : cases) {
        const Annotations source(std::string(program) + c.source);
        const Document document("file:///t.tasm", "t.tasm", source.text, 1);
        const auto items = completion(document, source.point());
        const auto find = [&](const std::string& label) {
            return std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.label == label; });
        };
        for (const std::string& label : c.offered) {
            const auto item = find(label);
            ASSERT_NE(item, items.end()) << c.source << ": " << label;
            const Range replaced = source.ranges.empty() ? Range{source.point(), source.point()} : source.ranges[0];
            EXPECT_EQ(item->edit.range, replaced) << c.source;
            // Behind a typed sigil the name alone; elsewhere the whole word. Filtered by the name.
            const bool named = label[0] == '@' || label[0] == '$';
            const std::string_view line = document.line(static_cast<std::size_t>(replaced.start.line));
            const auto at = static_cast<std::size_t>(replaced.start.character);
            const bool sigilTyped = named && at > 0 && line[at - 1] == label[0];
            EXPECT_EQ(item->edit.newText, sigilTyped ? label.substr(1) : label) << c.source;
            EXPECT_EQ(item->filterText, named ? label.substr(1) : "") << c.source;
        }
        for (const std::string& label : c.notOffered) {
            EXPECT_EQ(find(label), items.end()) << c.source << ": " << label;
        }
    }
}

} // namespace
} // namespace tarnasm::lsp
