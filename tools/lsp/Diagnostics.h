// Diagnostics: the assembler's report of a document as protocol diagnostics.
#pragma once

#include "Document.h"

#include <vector>

namespace tarnasm::lsp {

/// One diagnostic per report entry, at the range of the entry's last place (for a label
/// defined twice, the later definition), the entry's other places as related information. An
/// entry without a column marks its whole line; one without a place marks the first line.
std::vector<Diagnostic> diagnostics(const Document& document);

} // namespace tarnasm::lsp
