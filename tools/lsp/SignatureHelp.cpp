// SignatureHelp: operand positions from the assembler's scan of the cursor's line.
#include "SignatureHelp.h"

#include "Cursor.h"
#include "InstructionText.h"

namespace tarnasm::lsp {

namespace {

SignatureInformation signature(const Variant& variant)
{
    SignatureInformation result;
    result.label = variant.mnemonic;
    result.documentation = "opcode " + std::to_string(variant.opcode) + ", select " + std::to_string(variant.select);
    for (std::size_t i = 0; i < variant.operands.size(); ++i) {
        const OperandInfo& operand = variant.operands[i];
        result.label += i == 0 ? " " : ", ";
        const int start = static_cast<int>(result.label.size());
        result.label += operand.name + " " + rangeText(operand);
        result.parameters.push_back({start, static_cast<int>(result.label.size()),
                                     std::string(operand.isRegister ? "register" : "immediate") + ", bits " +
                                         std::to_string(operand.msb) + ".." + std::to_string(operand.lsb)});
    }
    return result;
}

} // namespace

std::optional<SignatureHelp> signatureHelp(const Document& document, Position position)
{
    const Cursor cursor(document, position);
    const Token* mnemonic = cursor.mnemonic();
    if (mnemonic == nullptr || cursor.column() <= static_cast<std::size_t>(mnemonic->column + mnemonic->length)) {
        return std::nullopt;
    }
    const auto variants = variantsOf(cursor.text(*mnemonic));
    if (variants.empty()) {
        return std::nullopt;
    }
    // The operand under the cursor: the last one that starts before it, or the next one when a
    // separator stands between that operand and the cursor.
    std::size_t active = 0;
    std::size_t scanned = static_cast<std::size_t>(mnemonic->column + mnemonic->length);
    for (const Token& token : cursor.tokens()) {
        const auto begin = static_cast<std::size_t>(token.column);
        if (begin > cursor.column()) {
            break;
        }
        if (token.kind == TokenKind::comment) {
            return std::nullopt;
        }
        if (token.operand >= 0) {
            active = static_cast<std::size_t>(token.operand);
            scanned = begin + static_cast<std::size_t>(token.length);
        }
    }
    if (scanned < cursor.column() && cursor.lineText().substr(scanned, cursor.column() - scanned).find(',') !=
                                         std::string_view::npos) {
        ++active;
    }

    SignatureHelp help;
    help.activeParameter = static_cast<int>(active);
    const auto forms = writtenOperandForms(cursor, document.program());
    bool chosen = false;
    for (std::size_t i = 0; i < variants.size(); ++i) {
        help.signatures.push_back(signature(variants[i]));
        if (!chosen && fits(variants[i], forms, std::min(active + 1, forms.size()))) {
            help.activeSignature = static_cast<int>(i);
            chosen = true;
        }
    }
    return help;
}

} // namespace tarnasm::lsp
