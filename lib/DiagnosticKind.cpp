// DiagnosticKind: the core's errors sorted into the public kinds, and each kind's stable code.
#include "DiagnosticKind.h"

#include "source/AsmError.h"

#include <string>

namespace tarnasm {

namespace detail {

namespace {

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

/// Syntax errors share one class; the raisers' wording is what tells them apart. The report's
/// wording is fixed by the command line's corpus, so these prefixes do not drift.
DiagnosticKind syntaxKind(std::string_view message)
{
    constexpr std::string_view syntax = "Syntax error: ";
    if (startsWith(message, syntax)) {
        message.remove_prefix(syntax.size());
    }
    struct Prefix
    {
        std::string_view text;
        DiagnosticKind kind;
    };
    static constexpr Prefix prefixes[] = {
        {"AsmParser: spurious characters", DiagnosticKind::spuriousCharacters},
        {"instruction '", DiagnosticKind::unknownMnemonic},
        {"Invalid argument", DiagnosticKind::invalidOperand},
        {"Could not determine signature type", DiagnosticKind::invalidOperand},
        {"AsmParser: Invalid ", DiagnosticKind::invalidNumber},
        {"Invalid symbol name", DiagnosticKind::invalidSymbolName},
        {"Invalid address label reference", DiagnosticKind::invalidLabelReference},
        {"AsmParser: empty directive", DiagnosticKind::directiveWithoutName},
        {"AsmParser: directive '", DiagnosticKind::unknownDirective},
        {"AsmParser: directive ", DiagnosticKind::directiveWithoutValue},
    };
    for (const Prefix& prefix : prefixes) {
        if (startsWith(message, prefix.text)) {
            return prefix.kind;
        }
    }
    if (startsWith(message, "Instruction ")) {
        if (message.find("\" does not support argument signature") != std::string_view::npos) {
            return DiagnosticKind::unsupportedOperands;
        }
        if (message.find(" out of range (") != std::string_view::npos) {
            return DiagnosticKind::operandOutOfRange;
        }
    }
    return DiagnosticKind::other;
}

} // namespace

DiagnosticKind kindOf(const AsmError& error)
{
    if (dynamic_cast<const AsmUnresolvedAddressLabelError*>(&error) != nullptr) {
        return DiagnosticKind::undefinedLabel;
    }
    if (dynamic_cast<const AsmUnresolvedSymbolError*>(&error) != nullptr) {
        return DiagnosticKind::undefinedSymbol;
    }
    if (dynamic_cast<const AsmDuplicateAddressLabelError*>(&error) != nullptr) {
        return DiagnosticKind::duplicateLabel;
    }
    if (dynamic_cast<const AsmDuplicateSymbolError*>(&error) != nullptr) {
        return DiagnosticKind::duplicateSymbol;
    }
    if (dynamic_cast<const AsmProgramTooLongError*>(&error) != nullptr) {
        return DiagnosticKind::programTooLong;
    }
    if (const auto* syntaxError = dynamic_cast<const AsmSyntaxError*>(&error)) {
        return syntaxKind(syntaxError->errorMessage());
    }
    // The only error without a place the library can meet: the reader could not start.
    if (!error.hasSource() && dynamic_cast<const AsmFatalError*>(&error) == nullptr) {
        return DiagnosticKind::unreadableSource;
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
