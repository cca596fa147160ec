// FoldingRanges: one pass over the lines with the assembler's line scan.
#include "FoldingRanges.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tarnasm::lsp {

Json toJson(const FoldingRange& range)
{
    return {{"startLine", range.startLine}, {"endLine", range.endLine}, {"kind", range.kind}};
}

std::vector<FoldingRange> foldingRanges(const Document& document)
{
    std::vector<FoldingRange> result;
    int commentStart = -1;
    int label = -1;
    int lastInstruction = -1;
    const auto endComments = [&](int line) {
        if (commentStart >= 0 && line - 1 > commentStart) {
            result.push_back({commentStart, line - 1, "comment"});
        }
        commentStart = -1;
    };
    const auto endSection = [&] {
        if (label >= 0 && lastInstruction > label) {
            result.push_back({label, lastInstruction, "region"});
        }
        label = -1;
    };
    const int lines = static_cast<int>(document.lineCount());
    for (int line = 0; line < lines; ++line) {
        const std::vector<Token> tokens = scanLine(document.line(static_cast<std::size_t>(line)));
        if (tokens.size() == 1 && tokens[0].kind == TokenKind::comment) {
            if (commentStart < 0) {
                commentStart = line;
            }
            continue;
        }
        endComments(line);
        for (const Token& token : tokens) {
            if (token.kind == TokenKind::label) {
                endSection();
                label = line;
            } else if (token.kind == TokenKind::mnemonic) {
                lastInstruction = line;
            }
        }
    }
    endComments(lines);
    endSection();
    std::stable_sort(result.begin(), result.end(),
                     [](const FoldingRange& a, const FoldingRange& b) { return a.startLine < b.startLine; });
    return result;
}

} // namespace tarnasm::lsp
