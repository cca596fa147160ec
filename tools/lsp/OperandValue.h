// OperandValue: what the assembler makes of an operand's text, asked of the assembler itself.
#pragma once

#include <tarnasm/tarnasm.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarnasm::lsp {

/// The value the assembler gives a number or register written as text (a register gives its
/// number), found by assembling a probe instruction whose operand takes any 32-bit value. Null
/// when the text is neither, or a number no operand of the instruction set could hold.
std::optional<std::int64_t> operandValue(std::string_view text);

/// Whether the assembler reads text, as an operand, as a register (true), an immediate (false),
/// or neither (null): how a symbol's value counts when an instruction uses it.
std::optional<bool> isRegisterOperand(std::string_view text);

} // namespace tarnasm::lsp
