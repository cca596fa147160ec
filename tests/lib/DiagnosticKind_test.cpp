// Tests of the diagnostics' kinds: each kind of message the assembler reports gets its own kind.
#include "common/FileText.h"

#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

tarnasm::DiagnosticKind firstKind(const std::string& source)
{
    const tarnasm::Program program = tarnasm::assemble(source);
    return program.diagnostics().empty() ? tarnasm::DiagnosticKind::other : program.diagnostics()[0].kind;
}

} // namespace

TEST(DiagnosticKind, EachMessageHasItsKind)
{
    using K = tarnasm::DiagnosticKind;
    const struct
    {
        const char* source;
        K kind;
    } cases[] = {
        {"jmp 1 2\n", K::spuriousCharacters},
        {"nop\n\xff\n", K::spuriousCharacters},
        {"frobnicate\n", K::unknownMnemonic},
        {"nop R1\n", K::unsupportedOperands},
        {"jmp 16384\n", K::operandOutOfRange},
        {"nop nop\n", K::invalidOperand},
        {"jmp 0x\n", K::invalidNumber},
        {"jmp R0x\n", K::invalidNumber},
        {"jmp $1\n", K::invalidSymbolName},
        {"jmp @1\n", K::invalidLabelReference},
        {"jmp @nowhere\n", K::undefinedLabel},
        {"jmp $NOWHERE\n", K::undefinedSymbol},
        {"a: nop\na: nop\n", K::duplicateLabel},
        {".DEF A 1\n.DEF A 2\n", K::duplicateSymbol},
        {".DEF\n", K::directiveWithoutName},
        {".DEF A\n", K::directiveWithoutValue},
        {".FOO A 1\n", K::unknownDirective},
    };
    std::set<std::string_view> codes;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(firstKind(c.source), c.kind) << tarnasm::assemble(c.source).report();
    }
    std::string tooLong;
    for (int i = 0; i <= 16384; ++i) {
        tooLong += "nop\n";
    }
    EXPECT_EQ(firstKind(tooLong), K::programTooLong);
    EXPECT_EQ(tarnasm::assembleFile(fs::path(TARNASM_SCRATCH) / "missing.tasm").diagnostics().at(0).kind,
              K::unreadableSource);
    // A long line aborts the reading: still a source that could not be read.
    EXPECT_EQ(firstKind(std::string((1 << 20) + 1, 'x')), K::unreadableSource);
    for (int k = 0; k <= static_cast<int>(K::programTooLong); ++k) {
        codes.insert(tarnasm::diagnosticCode(static_cast<K>(k)));
    }
    EXPECT_EQ(codes.size(), static_cast<size_t>(K::programTooLong) + 1) << "every kind has a code of its own";
    EXPECT_EQ(tarnasm::diagnosticCode(K::unknownMnemonic), "unknown-mnemonic");
}

TEST(DiagnosticKind, EveryCorpusMessageIsKnown)
{
    for (const auto& entry : fs::recursive_directory_iterator(TARNASM_CORPUS)) {
        if (entry.path().extension() != ".tasm") {
            continue;
        }
        const tarnasm::Program program = tarnasm::assemble(testfiles::readFile(entry.path()));
        for (const tarnasm::Diagnostic& d : program.diagnostics()) {
            EXPECT_NE(d.kind, tarnasm::DiagnosticKind::other) << entry.path() << ": " << d.message;
        }
    }
}
