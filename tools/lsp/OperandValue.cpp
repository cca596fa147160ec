// OperandValue: numbers and registers as the parser reads them, within the instruction set's ranges.
#include "OperandValue.h"

namespace tarnasm::lsp {

namespace {

/// Whether some operand of the instruction set (a register one, or an immediate one) holds value.
bool someOperandHolds(bool isRegister, std::int64_t value)
{
    for (const Variant& variant : instructionSet()) {
        for (const OperandInfo& operand : variant.operands) {
            if (operand.isRegister == isRegister && operand.minimum <= value && value <= operand.maximum) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::optional<std::int64_t> operandValue(std::string_view text)
{
    const OperandReading reading = readOperand(text);
    const bool isRegister = reading.kind == TokenKind::registerName;
    if (!reading.ok() || (!isRegister && reading.kind != TokenKind::number) ||
        !someOperandHolds(isRegister, reading.value)) {
        return std::nullopt;
    }
    return reading.value;
}

std::optional<bool> isRegisterOperand(std::string_view text)
{
    switch (readOperand(text).kind) {
    case TokenKind::registerName:
        return true;
    case TokenKind::number:
    case TokenKind::labelReference:
        return false;
    default:
        return std::nullopt;
    }
}

} // namespace tarnasm::lsp
