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

/// The text after a client applies the edits of every action it got, as one that applies "all
/// quick fixes" does; edits that overlap would corrupt the text, so they fail the test.
std::string appliedAll(const Document& document, const std::vector<CodeAction>& actions)
{
    std::vector<TextEdit> edits;
    for (const CodeAction& action : actions) {
        for (const TextEdit& edit : action.edit.edits) {
            for (const TextEdit& other : edits) {
                EXPECT_FALSE(other.range.start.line == edit.range.start.line &&
                             other.range.start.character < edit.range.end.character &&
                             edit.range.start.character < other.range.end.character)
                    << action.title << " overlaps another fix";
            }
            edits.push_back(edit);
        }
    }
    return applied(document, edits);
}

Diagnostic diagnosticOn(const Document& document, int line)
{
    for (const Diagnostic& d : diagnostics(document)) {
        if (d.range.start.line == line) {
            return d;
        }
    }
    ADD_FAILURE() << "no diagnostic on line " << line;
    return {};
}

TEST(CodeActions, AClientThatAppliesEveryFixOfADiagnosticGetsOneReading)
{
    // Kate's Quick Fix asks for the whole document, names the one diagnostic and applies every
    // action of the reply.
    const std::string source = "start:  wait_sync   4\n"
                               "        reset_phz\n"
                               "        move        0, r5\n"
                               "start:  stop\n";
    const Document document("file:///t.tasm", "t.tasm", source, 1);
    const Range whole{{0, 0}, {60, 0}};
    // Kate's request asks to fix; one at the diagnostic (Neovim's, ALE's) asks what can be done.
    EXPECT_TRUE(asksToFixNamed({document.uri(), whole, {diagnosticOn(document, 2)}, std::nullopt}));
    EXPECT_FALSE(asksToFixNamed({document.uri(), {{2, 22}, {2, 22}}, {diagnosticOn(document, 2)}, std::nullopt}));
    EXPECT_FALSE(asksToFixNamed({document.uri(), {{2, 0}, {3, 0}}, {diagnosticOn(document, 2)}, std::nullopt}));
    EXPECT_FALSE(asksToFixNamed({document.uri(), whole, {}, std::nullopt}));
    const auto fixing = [&](int line, bool onlyPreferred) {
        const CodeActionParams params{document.uri(), whole, {diagnosticOn(document, line)}, std::nullopt};
        return codeActions(document, params, onlyPreferred);
    };
    const std::string unchanged = applied(document, {});
    std::string expected = unchanged;
    expected.replace(expected.find("r5"), 1, "R");
    EXPECT_EQ(appliedAll(document, fixing(2, true)), expected);
    expected = unchanged;
    expected.replace(expected.find("reset_phz"), 9, "reset_ph");
    EXPECT_EQ(appliedAll(document, fixing(1, true)), expected);

    // A client that tells the preferred fix gets the alternatives, one of them preferred.
    const auto alternatives = fixing(1, false);
    ASSERT_GT(alternatives.size(), 1u);
    const auto preferred = [](const CodeAction& a) { return a.preferred; };
    EXPECT_EQ(std::count_if(alternatives.begin(), alternatives.end(), preferred), 1);
    for (const CodeAction& action : alternatives) {
        EXPECT_EQ(action.diagnostic.range.start.line, 1) << action.title;
    }
    // The client's copy of the diagnostic, trimmed and without its code, still names it.
    Diagnostic copy = diagnosticOn(document, 2);
    copy.code.clear();
    copy.message.erase(copy.message.find_last_not_of(' ') + 1);
    EXPECT_EQ(codeActions(document, CodeActionParams{document.uri(), whole, {copy}, std::nullopt}, true).size(), 1u);
}

TEST(CodeActions, ChoicesKindsAndFixesThatWouldClash)
{
    // Two labels as near as each other: no fix is preferred, so none is applied blindly.
    const Document tie("file:///t.tasm", "t.tasm", "cat:    nop\ncar:    nop\n        jmp @cax\n", 1);
    const CodeActionParams named{tie.uri(), {{0, 0}, {60, 0}}, {diagnosticOn(tie, 2)}, std::nullopt};
    const auto both = codeActions(tie, named, false);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_FALSE(both[0].preferred || both[1].preferred);
    EXPECT_TRUE(codeActions(tie, named, true).empty());

    // Only the kinds asked for: quick fixes are all there is.
    CodeActionParams only = named;
    only.only = std::vector<std::string>{"refactor", "source"};
    EXPECT_TRUE(codeActions(tie, only, false).empty());
    only.only = std::vector<std::string>{"quickfix"};
    EXPECT_EQ(codeActions(tie, only, false).size(), 2u);

    // A label defined three times: each later definition gets a name of its own.
    const Document thrice("file:///t.tasm", "t.tasm", "a:      nop\na:      nop\na:      nop\n", 1);
    const auto renames = codeActions(thrice, Range{{0, 0}, {3, 0}});
    ASSERT_EQ(renames.size(), 2u);
    const Document fixed("file:///t.tasm", "t.tasm", appliedAll(thrice, renames), 2);
    EXPECT_TRUE(diagnostics(fixed).empty()) << fixed.text();
}

} // namespace
} // namespace tarnasm::lsp
