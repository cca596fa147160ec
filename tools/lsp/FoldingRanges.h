// FoldingRanges: comment blocks and the instructions under each label, for the editor to fold.
#pragma once

#include "Document.h"

#include <vector>

namespace tarnasm::lsp {

struct FoldingRange
{
    /// 0-based lines, both included.
    int startLine = 0;
    int endLine = 0;
    /// "comment" for a block of comment lines, "region" for a label's instructions.
    const char* kind = "region";
};
Json toJson(const FoldingRange& range);

/// Runs of two or more lines holding only a comment; and from each label's line to the last
/// instruction before the next label, where that is a later line. Ordered by start line.
std::vector<FoldingRange> foldingRanges(const Document& document);

} // namespace tarnasm::lsp
