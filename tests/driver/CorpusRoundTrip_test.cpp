// Every program of the end-to-end corpus that assembles is checked word by word against its statements.
#include <gtest/gtest.h>

#include <filesystem>

#include "VerifyAssembly.h"
#include "asmparser/AsmSyntax.h"
#include "seqprocessor/TarnInstructionSet.h"
#include "source/AsmErrorList.h"

namespace fs = std::filesystem;

TEST(SeqAssembler, CorpusProgramsDecodeToTheirInstructions)
{
    const fs::path corpus = fs::path(__FILE__).parent_path().parent_path() / "corpus";
    ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
    SeqProcessor processor(seq_instr_set(), 16384, 64);
    SeqAssembler assembler(&processor, AsmSyntax());
    int programs = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ok_", 0) != 0 || entry.path().extension() != ".tasm") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        AsmErrorList errors;
        ASSERT_EQ(assembler.assembleFile(entry.path().string(), errors), 0)
            << errors.toStringFullReport("assembler");
        verifyAssembly(assembler, processor);
        ++programs;
    }
    EXPECT_GE(programs, 8);
}
