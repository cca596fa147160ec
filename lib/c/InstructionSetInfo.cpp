// InstructionSetInfo: the built-in instruction set's variants and operands through the C interface.
#include "Boundary.h"

extern "C" {

size_t tarnasm_variant_count(void)
{
    try {
        return tarnasm::instructionSet().size();
    } catch (...) {
        // The table is built on first use; without memory for it there are no variants to list.
        return 0;
    }
}

tarnasm_status tarnasm_variant(size_t index, tarnasm_variant_info* out)
{
    tarnasm::c::clearOut(out);
    if (out == nullptr) {
        return tarnasm::c::nullArgument("out");
    }
    return tarnasm::c::guard([&] {
        const auto variants = tarnasm::instructionSet();
        if (index >= variants.size()) {
            return tarnasm::c::outOfRange("index", index, variants.size(), "variant");
        }
        const tarnasm::Variant& v = variants[index];
        *out = {v.mnemonic.c_str(), v.opcode, v.select, v.signature.c_str(), v.operands.size()};
        return TARNASM_OK;
    });
}

tarnasm_status tarnasm_variant_operand(size_t index, size_t operand, tarnasm_operand_info* out)
{
    tarnasm::c::clearOut(out);
    if (out == nullptr) {
        return tarnasm::c::nullArgument("out");
    }
    return tarnasm::c::guard([&] {
        const auto variants = tarnasm::instructionSet();
        if (index >= variants.size()) {
            return tarnasm::c::outOfRange("index", index, variants.size(), "variant");
        }
        if (operand >= variants[index].operands.size()) {
            return tarnasm::c::outOfRange("operand", operand, variants[index].operands.size(), "operand");
        }
        const tarnasm::OperandInfo& o = variants[index].operands[operand];
        *out = {o.name.c_str(), o.isRegister ? 1 : 0, o.isAddress() ? 1 : 0, o.msb, o.lsb, o.minimum, o.maximum};
        return TARNASM_OK;
    });
}

} // extern "C"
