// InstructionText: the text of variants and operands shown to the user.
#include "InstructionText.h"

#include "OperandValue.h"

#include <cstdio>

namespace tarnasm::lsp {

std::string rangeText(const OperandInfo& operand)
{
    if (operand.isRegister) {
        // Appended, not "R" + ...: there g++ 12 at -O3 warns of an overlap that cannot happen (-Wrestrict).
        std::string text = "R";
        text += std::to_string(operand.minimum);
        text += " to R";
        text += std::to_string(operand.maximum);
        return text;
    }
    return std::to_string(operand.minimum) + " to " + std::to_string(operand.maximum);
}

std::string hexText(std::int64_t value)
{
    char buffer[32];
    const auto magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::snprintf(buffer, sizeof buffer, "%s0x%llx", value < 0 ? "-" : "", static_cast<unsigned long long>(magnitude));
    return buffer;
}

void describeVariant(Markup& markup, const Variant& variant)
{
    std::string signature = variant.mnemonic;
    if (!variant.signature.empty()) {
        signature += ' ';
        for (char c : variant.signature) {
            signature += c;
            if (c == ',') {
                signature += ' ';
            }
        }
    }
    markup.paragraph().code(signature).text(" opcode " + std::to_string(variant.opcode) + ", select " +
                                             std::to_string(variant.select));
    for (const OperandInfo& operand : variant.operands) {
        markup.item().code(operand.name).text(std::string(": ") + (operand.isRegister ? "register " : "immediate ") +
                                              rangeText(operand) + ", bits " + std::to_string(operand.msb) + ".." +
                                              std::to_string(operand.lsb));
    }
}

std::vector<std::optional<bool>> writtenOperandForms(const Cursor& cursor, const Program& program)
{
    std::vector<std::optional<bool>> forms;
    for (const Token& token : cursor.tokens()) {
        if (token.operand < 0) {
            continue;
        }
        forms.resize(static_cast<std::size_t>(token.operand) + 1);
        std::optional<bool> form;
        if (token.kind == TokenKind::registerName) {
            form = true;
        } else if (token.kind == TokenKind::number || token.kind == TokenKind::labelReference) {
            form = false;
        } else if (token.kind == TokenKind::symbolReference) {
            if (const Symbol* symbol = program.findSymbol(cursor.text(token).substr(1))) {
                form = isRegisterOperand(symbol->value);
            }
        }
        forms[static_cast<std::size_t>(token.operand)] = form;
    }
    return forms;
}

bool fits(const Variant& variant, const std::vector<std::optional<bool>>& forms, std::size_t count)
{
    if (count > variant.operands.size()) {
        return false;
    }
    for (std::size_t i = 0; i < count && i < forms.size(); ++i) {
        if (forms[i] && *forms[i] != variant.operands[i].isRegister) {
            return false;
        }
    }
    return true;
}

} // namespace tarnasm::lsp
