// ListingColumns: where the pieces of an instruction line start, in tarndis's output and in the
// language server's formatting, which must agree.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

namespace tarnasm::tools {

/// Labels start at 0, then the mnemonic, its operands and the comment at these columns.
inline constexpr std::size_t kInstructionColumn = 8;
inline constexpr std::size_t kOperandColumn = kInstructionColumn + 13;
inline constexpr std::size_t kCommentColumn = 56;

/// Pads text with blanks to column; a piece that would not fit starts one blank after the text.
inline void padToColumn(std::string& text, std::size_t column)
{
    text.resize(std::max(text.size() + 1, column), ' ');
}

} // namespace tarnasm::tools
