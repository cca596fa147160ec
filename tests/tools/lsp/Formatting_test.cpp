// Formatting: the columns, and that no program assembles differently once formatted.
#include "Formatting.h"

#include <gtest/gtest.h>

#include <cstdio>
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

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Formatting, CorpusAssemblesTheSame)
{
    int programs = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TARNASM_CORPUS)) {
        if (entry.path().extension() != ".tasm") {
            continue;
        }
        expectSameProgram(fileText(entry.path()), entry.path().string());
        ++programs;
    }
    EXPECT_GT(programs, 20);
}

/// The programs a user copies from the manual and the examples: formatting must leave them as they
/// are, or the first format in an editor rewrites what was just taken from the docs.
TEST(Formatting, ShippedProgramsStayAsWritten)
{
    const std::filesystem::path source = TARNASM_SOURCE_DIR;
    std::vector<std::pair<std::string, std::string>> programs;
    for (const char* folder : {"examples", "docs"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(source / folder)) {
            if (entry.path().extension() == ".tasm") {
                programs.emplace_back(entry.path().string(), fileText(entry.path()));
            }
        }
    }
    // The Python example builds its programs from a template: formatted with a value in its fields.
    const std::string sweep = fileText(source / "python/examples/sweep.py");
    const std::size_t open = sweep.find("\"\"\"\\\n");
    ASSERT_NE(open, std::string::npos) << "no template in sweep.py";
    const std::size_t close = sweep.find("\"\"\"", open + 5);
    ASSERT_NE(close, std::string::npos) << "no template in sweep.py";
    std::string filled = sweep.substr(open + 5, close - open - 5);
    for (const char* field : {"{gain}", "{point}"}) {
        for (std::size_t at; (at = filled.find(field)) != std::string::npos;) {
            filled.replace(at, std::string_view(field).size(), "1");
        }
    }
    programs.emplace_back("python/examples/sweep.py", filled);

    for (const auto& [where, text] : programs) {
        EXPECT_EQ(formatted(text), text) << where;
    }
    EXPECT_GT(programs.size(), 20u);
}

const char* const kBlanks[] = {"", " ", "  ", "\t", " \t ", "\v", "\f "};

/// Lines the way people and the fuzzer write them: odd blanks, bad separators, names and numbers
/// of every kind, known and unknown mnemonics.
std::string randomProgram(std::mt19937& rng)
{
    const auto pick = [&rng](const auto& list) { return list[rng() % std::size(list)]; };
    const char* operands[] = {"R0", "R63", "r5", "R64", "0",  "-1", "0x1F", "017", "65535", "4",  "@a", "@b",  "@c1",
                              "$N", "$REG", "$x", "@",  "$",  "--", "1x",   "0X10", "Q9",  "abc", "0x", "16384",
                              "0x7fffffffffffffff"};
    const char* mnemonics[] = {"nop", "add", "jmp", "move", "wait", "loop", "stop", "set_mrk", "play", "bogus", "NOP"};
    const char* junk[] = {";", "+1", "[", "]", ":", ",", "(x)", "\xC3\xA9", "%", "=", ".", "^", "\r"};
    const char* names[] = {"a", "b", "c1", "_x", "1a", "N", "REG"};
    std::string text;
    const int lines = 1 + static_cast<int>(rng() % 12);
    for (int n = 0; n < lines; ++n) {
        std::string line = pick(kBlanks);
        switch (rng() % 8) {
        case 0:
            break;
        case 1:
            line += std::string(".DEF") + pick(kBlanks) + " " + pick(names) + " " + pick(operands) + pick(kBlanks);
            break;
        default:
            if (rng() % 3 == 0) {
                line += std::string(pick(names)) + pick(kBlanks) + ":" + pick(kBlanks);
            }
            if (rng() % 5 != 0) {
                line += std::string(" ") + pick(mnemonics);
                const int count = static_cast<int>(rng() % 4);
                for (int i = 0; i < count; ++i) {
                    line += std::string(i == 0 ? " " : ",") + pick(kBlanks) + pick(operands) + pick(kBlanks);
                }
            }
            if (rng() % 6 == 0) {
                line += pick(junk);
            }
        }
        if (rng() % 4 == 0) {
            line += std::string("#") + pick(kBlanks) + "note, " + pick(operands) + pick(kBlanks);
        }
        text += line + (rng() % 10 == 0 ? "\r\n" : "\n");
    }
    return text;
}

/// A program that assembles: every variant of the instruction set may come up, with operands in
/// range written as numbers of each base, registers, symbols and labels, laid out at random.
std::string validProgram(std::mt19937& rng)
{
    const auto pick = [&rng](const auto& list) { return list[rng() % std::size(list)]; };
    const auto variants = instructionSet();
    std::string text = ".DEF" + std::string(pick(kBlanks)) + " ONE 1\n";
    const int lines = 1 + static_cast<int>(rng() % 20);
    for (int n = 0; n < lines; ++n) {
        std::string line = pick(kBlanks);
        if (rng() % 4 == 0) {
            line += "l" + std::to_string(n + 1) + pick(kBlanks) + ":" + pick(kBlanks) + " ";
        }
        const Variant& variant = variants[rng() % variants.size()];
        line += variant.mnemonic;
        for (std::size_t i = 0; i < variant.operands.size(); ++i) {
            const OperandInfo& operand = variant.operands[i];
            line += std::string(i == 0 ? " " : ",") + pick(kBlanks);
            const std::int64_t span = operand.maximum - operand.minimum;
            const std::int64_t value = operand.minimum + static_cast<std::int64_t>(rng() % (span + 1));
            if (operand.isRegister) {
                line += "R" + std::to_string(value);
            } else if (operand.isAddress()) {
                line += "@l0";
            } else if (operand.minimum <= 1 && operand.maximum >= 1 && rng() % 5 == 0) {
                line += "$ONE";
            } else if (value >= 0 && rng() % 2 == 0) {
                char hex[32];
                std::snprintf(hex, sizeof hex, rng() % 2 == 0 ? "0x%llX" : "0%llo",
                              static_cast<unsigned long long>(value));
                line += hex;
            } else {
                line += std::to_string(value);
            }
            line += pick(kBlanks);
        }
        if (rng() % 3 == 0) {
            line += std::string("#") + pick(kBlanks) + "step " + std::to_string(n);
        }
        text += line + "\n";
    }
    return "l0: nop\n" + text;
}

TEST(Formatting, RandomProgramsAssembleTheSame)
{
    std::mt19937 rng(2206);
    int assembled = 0;
    for (int i = 0; i < 300; ++i) {
        expectSameProgram(randomProgram(rng), "program " + std::to_string(i));
        const std::string valid = validProgram(rng);
        assembled += assemble(valid).ok() ? 1 : 0;
        expectSameProgram(valid, "valid program " + std::to_string(i));
    }
    // Were they not valid, the comparison of words would test little.
    EXPECT_EQ(assembled, 300);
}

} // namespace
} // namespace tarnasm::lsp
