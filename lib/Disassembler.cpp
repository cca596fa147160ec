// Disassembler: instruction words taken apart and written back as assembly text.
#include "CoreCall.h"
#include "InstructionSetTable.h"

#include <cstdio>
#include <string>

namespace tarnasm {

namespace {

std::string hexWord(std::uint64_t word)
{
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(word));
    return text;
}

/// The field's bits as the operand's value: two's complement read back where the range is signed.
std::int64_t operandValue(const SeqArgument& kind, const OperandInfo& operand, std::uint64_t word)
{
    const std::uint64_t raw = kind.getValue(word);
    const int width = operand.msb - operand.lsb + 1;
    if (!operand.isSigned() || width >= 64) {
        return static_cast<std::int64_t>(raw);
    }
    const std::uint64_t signBit = std::uint64_t{1} << (width - 1);
    return static_cast<std::int64_t>((raw ^ signBit) - signBit);
}

DecodedWord decodeWord(std::uint64_t word)
{
    const SeqInstructionSet& set = detail::builtinInstructionSet();
    DecodedWord decoded;
    decoded.word = word;
    decoded.opcode = static_cast<std::uint32_t>(set.readOpcodeField(word));
    decoded.select = static_cast<std::uint32_t>(set.readSelectField(word));
    const auto definition = set.findForBinary(word);
    if (!definition) {
        decoded.problem = "opcode " + std::to_string(decoded.opcode) + " with select " +
                          std::to_string(decoded.select) + " is no instruction";
        return decoded;
    }
    decoded.variant = &detail::publicVariant(*definition);
    // Encoding the values again must give the word back; anything else would not round-trip.
    unsigned long long rebuilt = 0;
    set.writeBaseFields(rebuilt, *definition);
    const auto& kinds = definition->arguments();
    for (size_t i = 0; i < kinds.size(); ++i) {
        const OperandInfo& operand = decoded.variant->operands[i];
        const std::int64_t value = operandValue(*kinds[i], operand, word);
        decoded.operands.push_back(value);
        if (!kinds[i]->setValue(rebuilt, value) && decoded.problem.empty()) {
            decoded.problem = decoded.variant->mnemonic + " operand " + std::to_string(i + 1) + " (" + operand.name +
                              ") value " + std::to_string(value) + " is out of range (" +
                              std::to_string(operand.minimum) + "," + std::to_string(operand.maximum) + ")";
        }
    }
    if (decoded.problem.empty() && rebuilt != word) {
        decoded.problem = "bits " + hexWord(rebuilt ^ word) + " are set outside the fields of " +
                          decoded.variant->mnemonic + " \"" + decoded.variant->signature + "\"";
    }
    return decoded;
}

std::string describe(const std::vector<UnknownWord>& unknown)
{
    constexpr size_t shown = 8;
    std::string text = std::to_string(unknown.size()) + (unknown.size() == 1 ? " word is" : " words are") +
                       " not an instruction:";
    for (size_t i = 0; i < unknown.size() && i < shown; ++i) {
        text += "\n  address " + std::to_string(unknown[i].address) + ": " + hexWord(unknown[i].decoded.word) +
                ": " + unknown[i].decoded.problem;
    }
    if (unknown.size() > shown) {
        text += "\n  ... and " + std::to_string(unknown.size() - shown) + " more";
    }
    return text;
}

} // namespace

std::string DecodedWord::text() const
{
    if (!ok() || variant == nullptr) {
        return {};
    }
    std::string text = variant->mnemonic;
    for (size_t i = 0; i < operands.size(); ++i) {
        text += i == 0 ? " " : ", ";
        if (variant->operands[i].isRegister) {
            text += 'R';
        }
        text += std::to_string(operands[i]);
    }
    return text;
}

DecodedWord decode(std::uint64_t word)
{
    return detail::guarded([word] { return decodeWord(word); });
}

DisassemblyError::DisassemblyError(std::vector<UnknownWord> unknown)
    : std::runtime_error(describe(unknown)), unknown_(std::move(unknown))
{
}

std::string disassemble(std::span<const std::uint64_t> words)
{
    return detail::guarded([words] {
        std::string text;
        std::vector<UnknownWord> unknown;
        for (size_t address = 0; address < words.size(); ++address) {
            DecodedWord decoded = decodeWord(words[address]);
            if (!decoded.ok()) {
                unknown.push_back({address, std::move(decoded)});
                continue;
            }
            if (unknown.empty()) {
                text += decoded.text();
                text += '\n';
            }
        }
        if (!unknown.empty()) {
            throw DisassemblyError(std::move(unknown));
        }
        return text;
    });
}

} // namespace tarnasm
