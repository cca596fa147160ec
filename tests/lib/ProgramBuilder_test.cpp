// Tests of assemble and assembleFile: the corpus against the command line's expectations, and
// what a host learns about a program beyond its words.
#include "common/FileText.h"

#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;
using testfiles::readFile;

namespace {

std::vector<fs::path> corpusPrograms()
{
    std::vector<fs::path> programs;
    for (const auto& entry : fs::recursive_directory_iterator(TARNASM_CORPUS)) {
        if (entry.path().extension() == ".tasm") {
            programs.push_back(entry.path());
        }
    }
    std::sort(programs.begin(), programs.end());
    return programs;
}

/// The report as an .err file holds it: from the log line that starts it to the end.
std::string expectedReport(const std::string& err)
{
    const std::string prefix = "+        tarnasm: assembler failed";
    const size_t start = err.find(prefix);
    if (start == std::string::npos) {
        return {};
    }
    std::string report = err.substr(start + prefix.size() - std::string("assembler failed").size());
    if (!report.empty() && report.back() == '\n') {
        report.pop_back();
    }
    return report;
}

int expectedStatus(const std::string& err)
{
    return std::stoi(err.substr(err.find(' ') + 1));
}

/// How a report shows one place: "file:line:column: message", "file:line: message", or the
/// message alone for an error without a place.
std::string reportedAs(const tarnasm::Diagnostic& d)
{
    if (d.line == 0) {
        return d.message;
    }
    std::string location = d.file + ":" + std::to_string(d.line);
    if (d.column >= 0) {
        location += ":" + std::to_string(d.column);
    }
    return location + ": " + d.message;
}

} // namespace

TEST(Assemble, CorpusGivesTheCommandLinesWordsOrReport)
{
    const auto programs = corpusPrograms();
    ASSERT_GT(programs.size(), 20u);
    for (const fs::path& path : programs) {
        SCOPED_TRACE(path.string());
        const std::string name = path.filename().string();
        const tarnasm::Program program = tarnasm::assemble(readFile(path), name);
        if (name.starts_with("ok_")) {
            ASSERT_TRUE(program.ok()) << program.report();
            EXPECT_EQ(tarnasm::writeHex(program.words()), readFile(fs::path(path).replace_extension(".hex")));
            EXPECT_EQ(program.report(), "assembler finished successfully");
            EXPECT_TRUE(program.diagnostics().empty());
            continue;
        }
        const std::string err = readFile(fs::path(path).replace_extension(".err"));
        ASSERT_FALSE(program.ok());
        EXPECT_TRUE(program.words().empty());
        EXPECT_EQ(program.report(), expectedReport(err));
        EXPECT_EQ(std::min<size_t>(program.errorCount(), 255), static_cast<size_t>(expectedStatus(err)));
        // Every place is in the report under its own location, with its message.
        int lastEntry = 0;
        for (const tarnasm::Diagnostic& d : program.diagnostics()) {
            EXPECT_NE(program.report().find(reportedAs(d)), std::string::npos) << reportedAs(d);
            EXPECT_GE(d.entry, lastEntry);
            lastEntry = d.entry;
            EXPECT_EQ(d.file, name);
        }
        EXPECT_EQ(static_cast<size_t>(lastEntry + 1), program.errorCount());
    }
}

TEST(Assemble, LabelsSymbolsLinesAndPlaces)
{
    const tarnasm::Program program = tarnasm::assemble("# sweep\n"
                                                       ".DEF  COUNT  R1   # loop register\n"
                                                       "start:\n"
                                                       "  move 3, $COUNT\n"
                                                       "again:  nop\n"
                                                       "\tloop $COUNT, @again\n"
                                                       "end:\n",
                                                       "sweep");
    ASSERT_TRUE(program.ok()) << program.report();
    ASSERT_EQ(program.words().size(), 3u);
    const tarnasm::Label* again = program.findLabel("again");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->address, 1u);
    EXPECT_EQ(again->line, 5);
    EXPECT_EQ(program.findLabel("end")->address, 3u);
    EXPECT_EQ(program.findLabel("Again"), nullptr);
    ASSERT_EQ(program.symbols().size(), 1u);
    EXPECT_EQ(program.symbols()[0].value, "R1");
    EXPECT_EQ(program.symbols()[0].column, 6);
    EXPECT_EQ(std::vector<int>(program.sourceLines().begin(), program.sourceLines().end()), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(program.sourceLine(3), 0);

    const tarnasm::Program failed = tarnasm::assemble("nop\njmp @nowhere\nfirst:\nfirst: stop\nwait 3\n", "x.tasm");
    // Parsing succeeded, so the labels are known; the unresolved and the duplicate label stop
    // the encoding, so the range error of "wait 3" is not reached.
    ASSERT_EQ(failed.errorCount(), 2u);
    const auto& d = failed.diagnostics();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].length, 7);
    EXPECT_EQ(d[0].sourceLine, "jmp @nowhere");
    EXPECT_EQ(d[1].entry, 1);
    EXPECT_EQ(d[2].entry, 1);
    EXPECT_EQ(d[2].line, 4);
    EXPECT_EQ(failed.findLabel("first")->line, 3);
}

TEST(Assemble, InputsAHostMayHandOverByMistake)
{
    // An empty source is an empty program.
    const tarnasm::Program empty = tarnasm::assemble("");
    EXPECT_TRUE(empty.ok());
    EXPECT_TRUE(empty.words().empty());
    EXPECT_TRUE(tarnasm::assemble(std::string_view()).ok());

    // NUL bytes are reported where they stand, shown as '?', also at the start of a line, and the
    // lines count as the command line counts them, CR LF as one line end.
    const tarnasm::Program nul = tarnasm::assemble("nop\r\nst\0op\r\n\0stop\nbogus\n"s);
    ASSERT_FALSE(nul.ok());
    ASSERT_EQ(nul.diagnostics().size(), 2u);
    EXPECT_EQ(nul.diagnostics()[0].line, 2);
    EXPECT_EQ(nul.diagnostics()[0].sourceLine, "st\0op"s);
    EXPECT_EQ(nul.diagnostics()[1].line, 3);
    EXPECT_EQ(nul.report().find('\0'), std::string::npos);

    // A hundred megabytes of source in one line: the reading stops with the command line's message.
    const tarnasm::Program huge = tarnasm::assemble(std::string(100'000'000, 'n'), "huge");
    ASSERT_FALSE(huge.ok());
    EXPECT_EQ(huge.report(), "Assembly of 'huge' aborted: line 1 of huge is longer than 1048576 characters");
    EXPECT_EQ(huge.errorCount(), 1u);
    EXPECT_TRUE(huge.aborted());
    EXPECT_FALSE(nul.aborted());

    // Files that cannot be read are reported, not thrown.
    const fs::path dir = fs::temp_directory_path();
    const tarnasm::Program directory = tarnasm::assembleFile(dir);
    ASSERT_FALSE(directory.ok());
    EXPECT_EQ(directory.report(),
              "assembler failed with 1 errors:\nCould not open input file '" + dir.string() + "' for reading");
    ASSERT_EQ(directory.diagnostics().size(), 1u);
    EXPECT_EQ(directory.diagnostics()[0].column, -1);
    EXPECT_FALSE(tarnasm::assembleFile(dir / "no such file.tasm").ok());

    const tarnasm::Program example = tarnasm::assembleFile(TARNASM_EXAMPLE);
    EXPECT_TRUE(example.ok());
    EXPECT_EQ(example.name(), TARNASM_EXAMPLE);
}

TEST(Check, AgreesWithAssembleOrReportsASupersetOverTheCorpus)
{
    const auto programs = corpusPrograms();
    ASSERT_GT(programs.size(), 20u);
    const auto place = [](const tarnasm::Diagnostic& d) { return std::tuple(d.line, d.column, d.length, d.message); };
    for (const fs::path& path : programs) {
        SCOPED_TRACE(path.string());
        const std::string source = readFile(path);
        const tarnasm::Program assembled = tarnasm::assemble(source, "p");
        const tarnasm::Program checked = tarnasm::check(source, "p");
        ASSERT_EQ(checked.ok(), assembled.ok());
        if (assembled.ok()) {
            // std::equal: libc++ 14 has no std::ranges::equal.
            EXPECT_TRUE(std::equal(checked.words().begin(), checked.words().end(), assembled.words().begin(),
                                   assembled.words().end()));
            EXPECT_EQ(checked.report(), assembled.report());
            EXPECT_TRUE(checked.diagnostics().empty());
            continue;
        }
        std::set<std::tuple<int, int, int, std::string>> found;
        for (const auto& d : checked.diagnostics()) {
            found.insert(place(d));
        }
        for (const auto& d : assembled.diagnostics()) {
            EXPECT_TRUE(found.contains(place(d))) << reportedAs(d);
        }
    }
}

TEST(Check, OneUnresolvedLabelNoLongerHidesTheOtherErrors)
{
    const std::string source = "start:  nop\n"
                               "        jmp @nowhere\n"
                               "        move 4294967296, R0\n"
                               "        frobnicate\n"
                               "        jge R0, 5, @nowhere\n" // depends on the missing label: not encoded
                               "start:  jmp @start\n";
    using K = tarnasm::DiagnosticKind;
    const auto kinds = [](const tarnasm::Program& program) {
        std::vector<std::pair<int, K>> result;
        for (const auto& d : program.diagnostics()) {
            result.emplace_back(d.line, d.kind);
        }
        return result;
    };
    EXPECT_EQ(kinds(tarnasm::assemble(source)),
              (std::vector<std::pair<int, K>>{
                  {1, K::duplicateLabel}, {6, K::duplicateLabel}, {2, K::undefinedLabel}, {5, K::undefinedLabel}}));
    EXPECT_EQ(kinds(tarnasm::check(source)),
              (std::vector<std::pair<int, K>>{{1, K::duplicateLabel},
                                              {6, K::duplicateLabel},
                                              {2, K::undefinedLabel},
                                              {3, K::operandOutOfRange},
                                              {4, K::unknownMnemonic},
                                              {5, K::undefinedLabel}}));
    EXPECT_FALSE(tarnasm::check(source).ok());
    EXPECT_TRUE(tarnasm::check(source).words().empty());
}
