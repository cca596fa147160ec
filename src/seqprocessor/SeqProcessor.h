// SeqProcessor: the target sequencer as the assembler sees it, an instruction set and its memories.
#pragma once

#include "seqprocessor/SeqInstructionSet.h"
#include "seqprocessor/SeqMemory.h"

#include <iosfwd>
#include <memory>

class SeqProcessor
{
public:
    using InstructionMemory = SeqMemory<unsigned long long, unsigned int>;
    using DataMemory = SeqMemory<unsigned int, unsigned int>;

    /// Empty memories and an empty instruction set.
    SeqProcessor();
    /// Keeps its own copy of the set (the copy shares the definitions).
    SeqProcessor(const SeqInstructionSet& instructionSet, unsigned int instructionMemWords,
                 unsigned int dataMemWords);
    /// Takes over a set that nobody else keeps (a freshly built one) instead of copying it.
    SeqProcessor(SeqInstructionSet&& instructionSet, unsigned int instructionMemWords, unsigned int dataMemWords);
    /// The instruction memory uses the caller's buffer, which the caller keeps and frees.
    SeqProcessor(const SeqInstructionSet& instructionSet, unsigned long long* instructionBuffer,
                 unsigned int instructionMemWords, unsigned int dataMemWords);
    SeqProcessor(SeqInstructionSet&& instructionSet, unsigned long long* instructionBuffer,
                 unsigned int instructionMemWords, unsigned int dataMemWords);
    SeqProcessor(SeqProcessor&&) = default;
    SeqProcessor& operator=(SeqProcessor&&) = default;
    virtual ~SeqProcessor() = default;

    const SeqInstructionSet& instructionSet() const { return instructionSet_; }
    unsigned int instructionMemSizeWords() const { return instructionMem_.size(); }

    /// Clears the words from first up to, not including, last, within the memory.
    void initInstructionMem(unsigned int first, unsigned int last) { instructionMem_.initMem(first, last); }
    /// Both throw SeqProcMemoryError beyond the end of the memory.
    unsigned long long readInstructionMem(unsigned int address) const { return instructionMem_.readMem(address); }
    void writeInstructionMem(unsigned int address, unsigned long long word)
    {
        instructionMem_.writeMem(address, word);
    }

    /// The variant the word encodes, or empty.
    std::shared_ptr<const SeqInstructionDef> findInstructionForBinary(unsigned long long word) const
    {
        return instructionSet_.findForBinary(word);
    }
    unsigned long long getInstructionOpcode(unsigned long long word) const
    {
        return instructionSet_.readOpcodeField(word);
    }
    unsigned long long getInstructionSelect(unsigned long long word) const
    {
        return instructionSet_.readSelectField(word);
    }

    /// "Instruction set:" and one line per variant.
    std::ostream& printInstructionSet(std::ostream& os) const;

private:
    InstructionMemory instructionMem_;
    DataMemory dataMem_;
    SeqInstructionSet instructionSet_;
};
