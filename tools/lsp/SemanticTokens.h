// SemanticTokens: every piece of a document the editor colours, by the assembler's own scan.
#pragma once

#include "Document.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnasm::lsp {

/// The token types, standard LSP names, in the legend's order: mnemonics and .DEF are keywords,
/// labels functions (jump targets), symbols macros (text put in place of $name), registers
/// variables.
inline constexpr std::string_view kSemanticTokenTypes[] = {"keyword", "function", "macro",
                                                           "variable", "number",   "comment"};
/// The one modifier: a label's or symbol's definition.
inline constexpr std::string_view kSemanticTokenModifiers[] = {"declaration"};

/// The tokens of the lines the range touches (every line without one), encoded as the protocol
/// wants them: per token the line and start relative to the previous token, its length, type
/// and modifiers, in UTF-16 units.
std::vector<std::uint32_t> semanticTokens(const Document& document, std::optional<Range> range = std::nullopt);

/// The server capability: the legend, full and range requests.
Json semanticTokensCapability();
/// The result of semanticTokens/full (or /range), as JSON text.
std::string semanticTokensResult(const Document& document, std::optional<Range> range = std::nullopt);

} // namespace tarnasm::lsp
