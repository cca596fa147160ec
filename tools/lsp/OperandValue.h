// OperandValue: what the assembler makes of an operand's text, asked of the parser itself.
#pragma once

#include <tarnasm/tarnasm.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarnasm::lsp {

/// The value the assembler gives a number or register written as text (a register gives its
/// number). Null when the text is neither, or a value no operand of its kind could hold.
std::optional<std::int64_t> operandValue(std::string_view text);

/// Whether the assembler reads text, as an operand, as a register (true), an immediate (false),
/// or neither (null): how a symbol's value counts when an instruction uses it.
std::optional<bool> isRegisterOperand(std::string_view text);

} // namespace tarnasm::lsp
