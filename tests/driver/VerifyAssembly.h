// VerifyAssembly: after a successful assembly every stored word must decode to its instruction.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "SeqAssembler.h"
#include "asmparser/AsmArgument.h"
#include "asmparser/AsmStatement.h"
#include "seqprocessor/SeqProcessor.h"

/// Decodes the word stored for every parsed instruction and compares mnemonic, operand kinds and
/// values (masked to their fields, as negative values are stored); the used words must be exactly
/// the instructions and every word beyond them 0.
inline void verifyAssembly(const SeqAssembler& assembler, const SeqProcessor& processor)
{
    uint32_t instructions = 0;
    for (const auto& statement : assembler.getParser().statements()) {
        if (statement->type() != AsmType::INSTRUCTION) {
            continue;
        }
        const auto& parsed = dynamic_cast<const AsmInstruction&>(*statement);
        SCOPED_TRACE(parsed.sourceString());
        ASSERT_EQ(parsed.address(), instructions++);
        const uint64_t word = processor.readInstructionMem(parsed.address());
        AsmInstruction decoded;
        ASSERT_TRUE(assembler.disassemble(word, parsed.address(), decoded));
        EXPECT_EQ(decoded.command().toString(), parsed.command().toString());
        ASSERT_EQ(decoded.argList().size(), parsed.argList().size());
        const auto& kinds = processor.findInstructionForBinary(word)->arguments();
        for (size_t i = 0; i < parsed.argList().size(); ++i) {
            const AsmArgument& given = *parsed.argList()[i];
            const AsmArgument& back = *decoded.argList()[i];
            EXPECT_EQ(back.registerName(), given.registerName()) << "argument " << i + 1;
            const uint64_t mask = kinds[i]->field()->range();
            EXPECT_EQ(static_cast<uint64_t>(back.intValue()), static_cast<uint64_t>(given.intValue()) & mask)
                << "argument " << i + 1;
        }
    }
    EXPECT_EQ(assembler.getUsedInstructionWords(), instructions);
    for (uint32_t address = instructions; address < processor.instructionMemSizeWords(); ++address) {
        if (processor.readInstructionMem(address) != 0) {
            ADD_FAILURE() << "word " << address << " beyond the program is not 0";
            break;
        }
    }
}
