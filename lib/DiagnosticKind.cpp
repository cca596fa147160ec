// DiagnosticKind: the core's errors sorted into the public kinds, and each kind's stable code.
#include "DiagnosticKind.h"

#include "source/AsmError.h"

namespace tarnasm {

namespace detail {

DiagnosticKind kindOf(const AsmError& error)
{
    // The public kinds mirror the core's one for one; the switch lets the compiler flag a kind
    // added on one side only.
    switch (error.kind()) {
    case AsmErrorKind::other:
        return DiagnosticKind::other;
    case AsmErrorKind::unreadableSource:
        return DiagnosticKind::unreadableSource;
    case AsmErrorKind::spuriousCharacters:
        return DiagnosticKind::spuriousCharacters;
    case AsmErrorKind::unknownMnemonic:
        return DiagnosticKind::unknownMnemonic;
    case AsmErrorKind::unsupportedOperands:
        return DiagnosticKind::unsupportedOperands;
    case AsmErrorKind::operandOutOfRange:
        return DiagnosticKind::operandOutOfRange;
    case AsmErrorKind::invalidOperand:
        return DiagnosticKind::invalidOperand;
    case AsmErrorKind::invalidNumber:
        return DiagnosticKind::invalidNumber;
    case AsmErrorKind::invalidSymbolName:
        return DiagnosticKind::invalidSymbolName;
    case AsmErrorKind::invalidLabelReference:
        return DiagnosticKind::invalidLabelReference;
    case AsmErrorKind::undefinedLabel:
        return DiagnosticKind::undefinedLabel;
    case AsmErrorKind::undefinedSymbol:
        return DiagnosticKind::undefinedSymbol;
    case AsmErrorKind::duplicateLabel:
        return DiagnosticKind::duplicateLabel;
    case AsmErrorKind::duplicateSymbol:
        return DiagnosticKind::duplicateSymbol;
    case AsmErrorKind::directiveWithoutName:
        return DiagnosticKind::directiveWithoutName;
    case AsmErrorKind::directiveWithoutValue:
        return DiagnosticKind::directiveWithoutValue;
    case AsmErrorKind::unknownDirective:
        return DiagnosticKind::unknownDirective;
    case AsmErrorKind::programTooLong:
        return DiagnosticKind::programTooLong;
    }
    return DiagnosticKind::other;
}

} // namespace detail

std::string_view diagnosticCode(DiagnosticKind kind) noexcept
{
    switch (kind) {
    case DiagnosticKind::other:
        return "other";
    case DiagnosticKind::unreadableSource:
        return "unreadable-source";
    case DiagnosticKind::spuriousCharacters:
        return "spurious-characters";
    case DiagnosticKind::unknownMnemonic:
        return "unknown-mnemonic";
    case DiagnosticKind::unsupportedOperands:
        return "unsupported-operands";
    case DiagnosticKind::operandOutOfRange:
        return "operand-out-of-range";
    case DiagnosticKind::invalidOperand:
        return "invalid-operand";
    case DiagnosticKind::invalidNumber:
        return "invalid-number";
    case DiagnosticKind::invalidSymbolName:
        return "invalid-symbol-name";
    case DiagnosticKind::invalidLabelReference:
        return "invalid-label-reference";
    case DiagnosticKind::undefinedLabel:
        return "undefined-label";
    case DiagnosticKind::undefinedSymbol:
        return "undefined-symbol";
    case DiagnosticKind::duplicateLabel:
        return "duplicate-label";
    case DiagnosticKind::duplicateSymbol:
        return "duplicate-symbol";
    case DiagnosticKind::directiveWithoutName:
        return "directive-without-name";
    case DiagnosticKind::directiveWithoutValue:
        return "directive-without-value";
    case DiagnosticKind::unknownDirective:
        return "unknown-directive";
    case DiagnosticKind::programTooLong:
        return "program-too-long";
    }
    return "other";
}

} // namespace tarnasm
