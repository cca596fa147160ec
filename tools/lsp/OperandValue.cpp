// OperandValue: numbers and registers evaluated by assembling one probe instruction.
#include "OperandValue.h"

#include <string>

namespace tarnasm::lsp {

namespace {

std::optional<std::int64_t> probe(const std::string& source)
{
    const Program program = assemble(source);
    if (!program.ok() || program.words().size() != 1) {
        return std::nullopt;
    }
    const DecodedWord word = decode(program.words()[0]);
    if (word.operands.empty()) {
        return std::nullopt;
    }
    return word.operands[0];
}

} // namespace

std::optional<std::int64_t> operandValue(std::string_view text)
{
    // The probe is one line: text that would end it or start a comment is no operand.
    if (text.empty() || text.find_first_of("\r\n#,") != std::string_view::npos) {
        return std::nullopt;
    }
    // move takes 0 to 2^32-1 or a register; set_freq takes the negative 32-bit values.
    if (auto value = probe("move " + std::string(text) + ", R0")) {
        return value;
    }
    return probe("set_freq " + std::string(text));
}

std::optional<bool> isRegisterOperand(std::string_view text)
{
    const auto tokens = scanLine("x " + std::string(text));
    if (tokens.size() != 2 || tokens[1].operand != 0 ||
        static_cast<std::size_t>(tokens[1].length) != text.size()) {
        return std::nullopt;
    }
    switch (tokens[1].kind) {
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
