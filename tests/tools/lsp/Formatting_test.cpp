// Formatting: the columns, and that no program assembles differently once formatted.
#include "Formatting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace tarnasm::lsp {
namespace {

std::string formatted(const std::string& text, const std::optional<Range>& range = std::nullopt)
{
    Document document("file:///t.tasm", "t.tasm", text, 1);
    auto edits = formatting(document, range);
    // Later edits first, so that the earlier ranges stay valid.
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
        document.applyChange({edit->range, edit->newText});
    }
    return document.text();
}

/// The words, or every error's line and message.
std::string outcome(const std::string& text)
{
    const Program program = assemble(text);
    std::ostringstream out;
    for (const std::uint64_t word : program.words()) {
        out << word << "\n";
    }
    for (const auto& place : program.diagnostics()) {
        out << place.line << ": " << place.message << "\n";
    }
    return out.str();
}

void expectSameProgram(const std::string& text, const std::string& where)
{
    const std::string once = formatted(text);
    EXPECT_EQ(outcome(once), outcome(text)) << where << "\n" << text << "\n---\n" << once;
    EXPECT_EQ(formatted(once), once) << where;
}

TEST(Formatting, Columns)
{
    const std::pair<const char*, const char*> cases[] = {
        {"start: jmp @start", "start:  jmp          @start"},
        {"  add R1,R2 ,  R3 # sum  ", "        add          R1, R2, R3                         # sum  "},
        {"verylonglabel:nop", "verylonglabel: nop"},
        {"loop:", "loop:"},
        {"  loop :  # spin", "loop:                                                   # spin"},
        {"\tstop", "        stop"},
        {"# at the margin", "# at the margin"},
        {"   #  indented", "        #  indented"},
        {" .DEF  N   1 2  # two words", ".DEF N               1 2                                # two words"},
        {"  \t ", ""},
        // What the assembler would not take as written stays exactly as it is.
        {"  add R1,, R2", "  add R1,, R2"},
        {"  add R1, R2,", "  add R1, R2,"},
        {"  nop ; x", "  nop ; x"},
        {"a: b: nop", "a: b: nop"},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(formatLine(line), expected) << line;
        EXPECT_EQ(formatLine(expected), expected) << expected;
    }
}

TEST(Formatting, RangeTouchesOnlyItsLines)
{
    const std::string text = "a: nop\nb: nop\r\nc: nop\n";
    EXPECT_EQ(formatted(text, Range{{1, 3}, {2, 0}}), "a: nop\nb:      nop\r\nc: nop\n");
    // The changed lines go in one edit, their line ends as written.
    EXPECT_EQ(formatted(text, Range{{0, 0}, {9, 0}}), "a:      nop\nb:      nop\r\nc:      nop\n");
    EXPECT_EQ(formatted("a: nop\r\rb: nop\n\nc: nop"), "a:      nop\r\rb:      nop\n\nc:      nop");
    EXPECT_EQ(formatted("        nop\n"), "        nop\n");
}

TEST(Formatting, CorpusAssemblesTheSame)
{
    int programs = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TARNASM_CORPUS)) {
        if (entry.path().extension() != ".tasm") {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        expectSameProgram(text.str(), entry.path().string());
        ++programs;
    }
    EXPECT_GT(programs, 20);
}

/// Lines the way people and the fuzzer write them: odd blanks, bad separators, names and numbers
/// of every kind, known and unknown mnemonics.
std::string randomProgram(std::mt19937& rng)
{
    const auto pick = [&rng](const auto& list) { return list[rng() % std::size(list)]; };
    const char* blanks[] = {"", " ", "  ", "\t", " \t ", "\v", "\f "};
    const char* operands[] = {"R0",  "R63", "r5",   "R64", "0",   "-1",  "0x1F", "017", "65535", "4",  "@a", "@b",
                              "@c1", "$N",  "$REG", "$x",  "@",   "$",   "--",   "1x",  "0X10",  "Q9", "abc"};
    const char* mnemonics[] = {"nop", "add", "jmp", "move", "wait", "loop", "stop", "set_mrk", "play", "bogus", "NOP"};
    const char* junk[] = {";", "+1", "[", "]", ":", ",", "(x)", "\xC3\xA9", "%", "=", "."};
    const char* names[] = {"a", "b", "c1", "_x", "1a", "N", "REG"};
    std::string text;
    const int lines = 1 + static_cast<int>(rng() % 12);
    for (int n = 0; n < lines; ++n) {
        std::string line = pick(blanks);
        switch (rng() % 8) {
        case 0:
            break;
        case 1:
            line += std::string(".DEF") + pick(blanks) + " " + pick(names) + " " + pick(operands) + pick(blanks);
            break;
        default:
            if (rng() % 3 == 0) {
                line += std::string(pick(names)) + pick(blanks) + ":" + pick(blanks);
            }
            if (rng() % 5 != 0) {
                line += std::string(" ") + pick(mnemonics);
                const int count = static_cast<int>(rng() % 4);
                for (int i = 0; i < count; ++i) {
                    line += std::string(i == 0 ? " " : ",") + pick(blanks) + pick(operands) + pick(blanks);
                }
            }
            if (rng() % 6 == 0) {
                line += pick(junk);
            }
        }
        if (rng() % 4 == 0) {
            line += std::string("#") + pick(blanks) + "note, " + pick(operands) + pick(blanks);
        }
        text += line + (rng() % 10 == 0 ? "\r\n" : "\n");
    }
    return text;
}

TEST(Formatting, RandomProgramsAssembleTheSame)
{
    std::mt19937 rng(2206);
    for (int i = 0; i < 400; ++i) {
        expectSameProgram(randomProgram(rng), "program " + std::to_string(i));
    }
}

} // namespace
} // namespace tarnasm::lsp
