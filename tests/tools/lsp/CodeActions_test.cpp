// CodeActions: each quick fix, applied, makes its diagnostic go away.
#include "CodeActions.h"

#include "Diagnostics.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnasm::lsp {
namespace {

/// The document's text with the edits (each within one line, not overlapping) applied.
std::string applied(const Document& document, std::vector<TextEdit> edits)
{
    std::sort(edits.begin(), edits.end(), [](const TextEdit& a, const TextEdit& b) {
        return std::tie(b.range.start.line, b.range.start.character) <
               std::tie(a.range.start.line, a.range.start.character);
    });
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < document.lineCount(); ++i) {
        lines.emplace_back(document.line(i));
    }
    for (const TextEdit& edit : edits) {
        const auto line = static_cast<std::size_t>(edit.range.start.line);
        const std::size_t start = document.byteColumn(line, edit.range.start.character);
        const std::size_t end = document.byteColumn(line, edit.range.end.character);
        lines[line].replace(start, end - start, edit.newText);
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

bool hasDiagnostic(const Document& document, const std::string& code, int line)
{
    const auto found = diagnostics(document);
    return std::any_of(found.begin(), found.end(),
                       [&](const Diagnostic& d) { return d.code == code && d.range.start.line == line; });
}

TEST(CodeActions, EachFixMakesItsDiagnosticGoAway)
{
    struct Case
    {
        const char* source;
        int line;
        const char* code;
        const char* firstTitle;
    };
    const Case cases[] = {
        {"start:  nop\n        jmpp @start\n", 1, "unknown-mnemonic", "Change to 'jmp'"},
        {"start:  nop\n        jmp @strat\n", 1, "undefined-label", "Change to 'start'"},
        {".DEF COUNT 5\n        wait $COUNTT\n", 1, "undefined-symbol", "Change to 'COUNT'"},
        {"        add r1, R2, r3\n", 0, "unsupported-operands", "Write R1 for r1, R3 for r3"},
        {"start:  nop\nstart:  nop\nstart_2: jmp @start\n", 1, "duplicate-label", "Rename this definition to 'start_3'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const Document document("file:///t.tasm", "t.tasm", c.source, 1);
        ASSERT_TRUE(hasDiagnostic(document, c.code, c.line));
        const auto actions = codeActions(document, Range{{c.line, 0}, {c.line, 80}});
        ASSERT_FALSE(actions.empty());
        EXPECT_EQ(actions[0].title, c.firstTitle);
        EXPECT_TRUE(actions[0].preferred);
        for (const CodeAction& action : actions) {
            EXPECT_EQ(action.diagnostic.code, c.code);
            const Document fixed("file:///t.tasm", "t.tasm", applied(document, action.edit.edits), 2);
            EXPECT_FALSE(hasDiagnostic(fixed, c.code, c.line)) << action.title << "\n" << fixed.text();
        }
    }
}

TEST(CodeActions, NothingFarOrOutsideTheRange)
{
    const Document document("file:///t.tasm", "t.tasm", "        xyzzyplugh\n        jmpp 0\n", 1);
    EXPECT_TRUE(codeActions(document, Range{{0, 0}, {0, 20}}).empty()); // no mnemonic is near
    EXPECT_EQ(codeActions(document, Range{{1, 9}, {1, 9}}).at(0).title, "Change to 'jmp'");
    // Symbols count only after their definition.
    const Document late("file:///t.tasm", "t.tasm", "        wait $COUNTT\n.DEF COUNT 5\n", 1);
    EXPECT_TRUE(codeActions(late, Range{{0, 0}, {0, 30}}).empty());
    // A huge name gets no suggestions, and fast.
    const std::string huge(500000, 'x');
    const Document hugeName("file:///t.tasm", "t.tasm", huge + ": nop\n jmp @" + huge + "y\n", 1);
    ASSERT_EQ(diagnostics(hugeName).at(0).code, "undefined-label");
    EXPECT_TRUE(codeActions(hugeName, Range{{1, 0}, {1, 10}}).empty());
    EXPECT_EQ(editDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(editDistance("", "abc"), 3u);
}

} // namespace
} // namespace tarnasm::lsp
