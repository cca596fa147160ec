// SignatureHelp: the variants of the instruction whose operands the cursor is in.
#pragma once

#include "Document.h"

#include <optional>

namespace tarnasm::lsp {

/// Every variant of the line's mnemonic, each operand a parameter labelled with its name and
/// range; the active parameter is the operand under the cursor, the active signature the first
/// variant that fits the operands written before it. Null outside an instruction's operands.
std::optional<SignatureHelp> signatureHelp(const Document& document, Position position);

} // namespace tarnasm::lsp
