// Formatting: source lines rewritten in the disassembler's columns without changing what they say.
#pragma once

#include "Document.h"
#include "ListingColumns.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnasm::lsp {

/// Where the pieces of a formatted line start: labels at 0, then tarndis's columns; a piece that
/// would not fit starts one blank after the one before.
inline constexpr std::size_t kFormatInstructionColumn = tools::kInstructionColumn;
inline constexpr std::size_t kFormatOperandColumn = tools::kOperandColumn;
inline constexpr std::size_t kFormatCommentColumn = tools::kCommentColumn;

/// The line (without its line end) in columns: label, mnemonic, operands joined by ", ",
/// comment as written; a .DEF line as ".DEF name value" with the value in the operand column.
/// A blank line becomes empty. A line holding anything the assembler would not take as written
/// (an unknown piece, a stray separator) is returned unchanged, so formatting never changes
/// what a line assembles to.
std::string formatLine(std::string_view line);

Json toJson(const TextEdit& edit);

/// The edits that format every line of the document, or only the lines the range touches;
/// one edit per run of consecutive lines that change, line ends kept as written.
std::vector<TextEdit> formatting(const Document& document, const std::optional<Range>& range = std::nullopt);

} // namespace tarnasm::lsp
