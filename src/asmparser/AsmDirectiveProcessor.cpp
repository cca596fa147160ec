// AsmDirectiveProcessor: the handler the parser calls for one directive word.
#include "asmparser/AsmDirectiveProcessor.h"

AsmDirectiveProcessor::AsmDirectiveProcessor(const std::string& directive) : directive_(directive) {}

AsmDirectiveProcessor::~AsmDirectiveProcessor() = default;

bool AsmDirectiveProcessor::isSymbol() const
{
    return false;
}
