// InstructionText: how hover, completion and signature help describe variants and operands.
#pragma once

#include "Cursor.h"
#include "Markup.h"

#include <tarnasm/tarnasm.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnasm::lsp {

/// "R0 to R63" for a register, "0 to 1023" for an immediate.
std::string rangeText(const OperandInfo& operand);
/// "0x1f", "-0x10".
std::string hexText(std::int64_t value);
/// A paragraph "`add R#, #, R#` opcode 8, select 0" and a list item per operand with its kind, range
/// and bits.
void describeVariant(Markup& markup, const Variant& variant);

/// For each operand written on the cursor's line: register (true), immediate (false) or not known
/// (null), a $symbol counted by its value.
std::vector<std::optional<bool>> writtenOperandForms(const Cursor& cursor, const Program& program);

/// Whether a variant accepts the operand forms written so far (the first `count` of them).
bool fits(const Variant& variant, const std::vector<std::optional<bool>>& forms, std::size_t count);

} // namespace tarnasm::lsp
