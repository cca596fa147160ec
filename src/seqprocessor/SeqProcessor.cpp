// SeqProcessor: construction of the memories and the instruction-set listing.
#include "seqprocessor/SeqProcessor.h"

#include <ostream>
#include <utility>

SeqProcessor::SeqProcessor() : instructionMem_("instruction"), dataMem_("data") {}

SeqProcessor::SeqProcessor(const SeqInstructionSet& instructionSet, unsigned int instructionMemWords,
                           unsigned int dataMemWords)
    : SeqProcessor(SeqInstructionSet(instructionSet), instructionMemWords, dataMemWords)
{
}

SeqProcessor::SeqProcessor(SeqInstructionSet&& instructionSet, unsigned int instructionMemWords,
                           unsigned int dataMemWords)
    : instructionMem_("instruction", instructionMemWords), dataMem_("data", dataMemWords),
      instructionSet_(std::move(instructionSet))
{
}

SeqProcessor::SeqProcessor(const SeqInstructionSet& instructionSet, unsigned long long* instructionBuffer,
                           unsigned int instructionMemWords, unsigned int dataMemWords)
    : SeqProcessor(SeqInstructionSet(instructionSet), instructionBuffer, instructionMemWords, dataMemWords)
{
}

SeqProcessor::SeqProcessor(SeqInstructionSet&& instructionSet, unsigned long long* instructionBuffer,
                           unsigned int instructionMemWords, unsigned int dataMemWords)
    : instructionMem_("instruction", instructionBuffer, instructionMemWords), dataMem_("data", dataMemWords),
      instructionSet_(std::move(instructionSet))
{
}

std::ostream& SeqProcessor::printInstructionSet(std::ostream& os) const
{
    return os << "Instruction set:\n" << instructionSet_;
}
