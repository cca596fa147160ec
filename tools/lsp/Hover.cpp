// Hover: what is known of mnemonics, labels, symbols, numbers and registers, as one Markup.
#include "Hover.h"

#include "Cursor.h"
#include "InstructionText.h"
#include "OperandValue.h"

#include <set>

namespace tarnasm::lsp {

namespace {

void definedOn(Markup& markup, const Document& document, int line)
{
    markup.paragraph()
        .text("defined on line " + std::to_string(line) + ": ")
        .code(document.line(static_cast<std::size_t>(line - 1)));
}

std::string valueText(std::int64_t value)
{
    return std::to_string(value) + " (" + hexText(value) + ")";
}

Markup mnemonicHover(std::string_view mnemonic)
{
    Markup markup;
    const auto variants = variantsOf(mnemonic);
    if (variants.empty()) {
        return markup.code(mnemonic).text(" is not a mnemonic of the instruction set");
    }
    markup.bold(mnemonic);
    for (const Variant& variant : variants) {
        describeVariant(markup, variant);
    }
    // Clients have always had the variants closed by a blank line.
    return markup.paragraph();
}

Markup labelHover(const Document& document, const std::string& name)
{
    Markup markup;
    const Label* label = document.program().findLabel(name);
    if (label == nullptr) {
        return markup.text("label ").code(name).text(" is not defined");
    }
    markup.bold("@" + name).text(": address " + valueText(label->address));
    definedOn(markup, document, label->line);
    return markup;
}

Markup symbolHover(const Document& document, const std::string& name)
{
    Markup markup;
    const Symbol* symbol = document.program().findSymbol(name);
    if (symbol == nullptr) {
        return markup.text("symbol ").code(name).text(" is not defined");
    }
    markup.bold("$" + name).text(" = ").code(symbol->value);
    if (const auto value = operandValue(symbol->value)) {
        if (!isRegisterOperand(symbol->value).value_or(false)) {
            markup.text(" = " + valueText(*value));
        }
    }
    definedOn(markup, document, symbol->line);
    return markup;
}

/// The operand kinds that a number in this operand of the line's instruction may stand for.
Markup numberHover(const Document& document, const Cursor& cursor, const Token& token)
{
    const std::string_view text = cursor.text(token);
    const auto value = operandValue(text);
    Markup markup;
    markup.bold(text).text(value ? " = " + valueText(*value) : ": no operand accepts this value");
    const Token* mnemonic = cursor.mnemonic();
    if (mnemonic == nullptr || token.operand < 0) {
        return markup;
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
        markup.paragraph()
            .text("operand " + std::to_string(index + 1) + " of ")
            .code(variant.mnemonic)
            .text(": ")
            .code(operand.name)
            .text(", " + rangeText(operand));
        if (value && (*value < operand.minimum || *value > operand.maximum)) {
            markup.text(" (this value is outside it)");
        }
    }
    return markup;
}

Markup registerHover(std::string_view text)
{
    Markup markup;
    const auto value = operandValue(text);
    if (!value || isRegisterOperand(text) != true) {
        return markup.code(text).text(" is not a register: registers are R0 to R63");
    }
    return markup.bold(text).text(": register " + std::to_string(*value));
}

Markup directiveHover(std::string_view text)
{
    Markup markup;
    if (text != ".DEF") {
        return markup.code(text).text(" is not a directive: the only one is ").code(".DEF");
    }
    return markup.code(".DEF name value")
        .text(" defines the symbol ")
        .code("$name")
        .text(": from the next line on, ")
        .code("$name")
        .text(" as an operand stands for the value text");
}

} // namespace

std::optional<Hover> hover(const Document& document, Position position)
{
    const Cursor cursor(document, position);
    const Token* token = cursor.token();
    if (token == nullptr) {
        return std::nullopt;
    }
    Markup contents;
    if (const auto name = nameOf(cursor.lineText(), *token)) {
        contents = name->kind == NameKind::label ? labelHover(document, name->name) : symbolHover(document, name->name);
    } else {
        switch (token->kind) {
        case TokenKind::mnemonic:
            contents = mnemonicHover(cursor.text(*token));
            break;
        case TokenKind::number:
            contents = numberHover(document, cursor, *token);
            break;
        case TokenKind::registerName:
            contents = registerHover(cursor.text(*token));
            break;
        case TokenKind::directive:
            contents = directiveHover(cursor.text(*token));
            break;
        default:
            return std::nullopt;
        }
    }
    return Hover{std::move(contents), document.range(cursor.line(), static_cast<std::size_t>(token->column),
                                                     static_cast<std::size_t>(token->length))};
}

} // namespace tarnasm::lsp
