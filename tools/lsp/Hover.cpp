// Hover: markdown for mnemonics, labels, symbols, numbers and registers.
#include "Hover.h"

#include "Cursor.h"
#include "InstructionText.h"
#include "OperandValue.h"

#include <set>

namespace tarnasm::lsp {

namespace {

// Text in code style, appended piece by piece: for "`" + std::string(text) g++ 12 at -O3 warns of an
// overlap that cannot happen (-Wrestrict).
std::string code(std::string_view text)
{
    std::string result = "`";
    result += text;
    result += '`';
    return result;
}

std::string quotedLine(const Document& document, int line)
{
    return "line " + std::to_string(line) + ": `" + std::string(document.line(static_cast<std::size_t>(line - 1))) + "`";
}

std::string valueText(std::int64_t value)
{
    return std::to_string(value) + " (" + hexText(value) + ")";
}

std::string mnemonicHover(std::string_view mnemonic)
{
    const auto variants = variantsOf(mnemonic);
    if (variants.empty()) {
        return code(mnemonic) + " is not a mnemonic of the instruction set";
    }
    std::string text = "**" + std::string(mnemonic) + "**\n\n";
    for (const Variant& variant : variants) {
        text += variantMarkdown(variant) + "\n";
    }
    return text;
}

std::string labelHover(const Document& document, const std::string& name)
{
    const Label* label = document.program().findLabel(name);
    if (label == nullptr) {
        return "label `" + name + "` is not defined";
    }
    return "**@" + name + "**: address " + valueText(label->address) + "\n\ndefined on " +
           quotedLine(document, label->line);
}

std::string symbolHover(const Document& document, const std::string& name)
{
    const Symbol* symbol = document.program().findSymbol(name);
    if (symbol == nullptr) {
        return "symbol `" + name + "` is not defined";
    }
    std::string text = "**$" + name + "** = `" + symbol->value + "`";
    if (const auto value = operandValue(symbol->value)) {
        text += isRegisterOperand(symbol->value).value_or(false) ? "" : " = " + valueText(*value);
    }
    return text + "\n\ndefined on " + quotedLine(document, symbol->line);
}

/// The operand kinds that a number in this operand of the line's instruction may stand for.
std::string numberHover(const Document& document, const Cursor& cursor, const Token& token)
{
    const std::string_view text = cursor.text(token);
    const auto value = operandValue(text);
    std::string result = "**" + std::string(text) + "**";
    result += value ? " = " + valueText(*value) : ": no operand accepts this value";
    const Token* mnemonic = cursor.mnemonic();
    if (mnemonic == nullptr || token.operand < 0) {
        return result;
    }
    const auto forms = writtenOperandForms(cursor, document.program());
    const auto index = static_cast<std::size_t>(token.operand);
    std::set<std::string> seen;
    for (const Variant& variant : variantsOf(cursor.text(*mnemonic))) {
        if (!fits(variant, forms, forms.size()) || index >= variant.operands.size()) {
            continue;
        }
        const OperandInfo& operand = variant.operands[index];
        if (operand.isRegister || !seen.insert(operand.name).second) {
            continue;
        }
        result += "\n\noperand " + std::to_string(index + 1) + " of `" + variant.mnemonic + "`: `" + operand.name +
                  "`, " + rangeText(operand);
        if (value && (*value < operand.minimum || *value > operand.maximum)) {
            result += " (this value is outside it)";
        }
    }
    return result;
}

std::string registerHover(std::string_view text)
{
    const auto value = operandValue(text);
    if (!value || isRegisterOperand(text) != true) {
        return code(text) + " is not a register: registers are R0 to R63";
    }
    return "**" + std::string(text) + "**: register " + std::to_string(*value);
}

} // namespace

std::optional<Hover> hover(const Document& document, Position position)
{
    const Cursor cursor(document, position);
    const Token* token = cursor.token();
    if (token == nullptr) {
        return std::nullopt;
    }
    std::string text;
    if (const auto name = nameOf(cursor.lineText(), *token)) {
        text = name->kind == NameKind::label ? labelHover(document, name->name) : symbolHover(document, name->name);
    } else {
        switch (token->kind) {
        case TokenKind::mnemonic:
            text = mnemonicHover(cursor.text(*token));
            break;
        case TokenKind::number:
            text = numberHover(document, cursor, *token);
            break;
        case TokenKind::registerName:
            text = registerHover(cursor.text(*token));
            break;
        case TokenKind::directive:
            if (cursor.text(*token) != ".DEF") {
                text = code(cursor.text(*token)) + " is not a directive: the only one is `.DEF`";
                break;
            }
            text = "`.DEF name value` defines the symbol `$name`: from the next line on, `$name` as an "
                   "operand stands for the value text";
            break;
        default:
            return std::nullopt;
        }
    }
    return Hover{text, document.range(cursor.line(), static_cast<std::size_t>(token->column),
                                      static_cast<std::size_t>(token->length))};
}

} // namespace tarnasm::lsp
