// AsmArgument: values and kind markers of an instruction argument.
#include "asmparser/AsmArgument.h"

#include "asmparser/CharFilter.h"

AsmArgument::AsmArgument(const AsmToken& stringValue) : stringValue_(stringValue) {}

AsmArgument::AsmArgument(int64_t intValue) : intValue_(intValue), hasIntValue_(true) {}

void AsmArgument::setIntValue(int64_t value)
{
    intValue_ = value;
    hasIntValue_ = true;
}

bool AsmArgument::isRegister() const
{
    return CharFilters::isAlpha.accept(registerName_);
}

void AsmArgument::setRegisterNameIntValue(char name, int64_t value)
{
    setIntValue(value);
    setRegisterName(name);
}

void AsmArgument::setImmediateIntValue(int64_t value)
{
    setIntValue(value);
    setImmediate();
}

void AsmArgument::clearValue()
{
    intValue_ = 0;
    hasIntValue_ = false;
    stringValue_.clear();
}
