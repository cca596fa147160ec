// DocumentSymbols: the outline of a document.
#pragma once

#include "Document.h"

#include <vector>

namespace tarnasm::lsp {

/// Labels (with their address) and symbols (with their value), in line order.
std::vector<DocumentSymbol> documentSymbols(const Document& document);

} // namespace tarnasm::lsp
