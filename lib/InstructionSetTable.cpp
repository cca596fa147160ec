// InstructionSetTable: the public rows of every variant, made once from the core's model.
#include "InstructionSetTable.h"

#include "CoreCall.h"
#include "seqprocessor/TarnInstructionSet.h"

#include <algorithm>
#include <bit>
#include <unordered_map>
#include <vector>

namespace tarnasm::detail {

namespace {

OperandInfo operandOf(const SeqArgument& kind)
{
    OperandInfo operand;
    operand.name = kind.name();
    operand.isRegister = kind.isRegister();
    const unsigned long long bits = kind.field()->bitPattern();
    operand.msb = 63 - std::countl_zero(bits);
    operand.lsb = std::countr_zero(bits);
    operand.minimum = kind.minValue();
    operand.maximum = kind.maxValue();
    return operand;
}

struct Tables
{
    std::vector<Variant> variants;
    /// Where each definition's row stands in variants.
    std::unordered_map<const SeqInstructionDef*, size_t> rowOf;
};

const Tables& tables()
{
    static const Tables built = guarded([] {
        Tables t;
        for (const auto& variations : builtinInstructionSet()) {
            for (const auto& definition : variations) {
                Variant variant;
                variant.mnemonic = definition.mnemonic();
                variant.opcode = static_cast<std::uint32_t>(definition.opcode());
                variant.select = static_cast<std::uint32_t>(definition.select());
                variant.signature = definition.signature();
                for (const auto& kind : definition.arguments()) {
                    variant.operands.push_back(operandOf(*kind));
                }
                t.rowOf.emplace(&definition, t.variants.size());
                t.variants.push_back(std::move(variant));
            }
        }
        return t;
    });
    return built;
}

} // namespace

const SeqInstructionSet& builtinInstructionSet()
{
    static const SeqInstructionSet set = guarded([] { return seq_instr_set(); });
    return set;
}

const Variant& publicVariant(const SeqInstructionDef& definition)
{
    const Tables& t = tables();
    return t.variants[t.rowOf.at(&definition)];
}

} // namespace tarnasm::detail

namespace tarnasm {

std::span<const Variant> instructionSet()
{
    return detail::tables().variants;
}

std::span<const Variant> variantsOf(std::string_view mnemonic)
{
    const std::span<const Variant> all = instructionSet();
    // Rows are ordered by opcode, and one mnemonic has one opcode, so its rows stand together.
    const auto first = std::find_if(all.begin(), all.end(), [&](const Variant& v) { return v.mnemonic == mnemonic; });
    const auto last = std::find_if(first, all.end(), [&](const Variant& v) { return v.mnemonic != mnemonic; });
    return {first, last};
}

} // namespace tarnasm
