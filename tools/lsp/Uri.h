// Uri: the few operations the server needs on document URIs.
#pragma once

#include <string>
#include <string_view>

namespace tarnasm::lsp {

/// The URI with every valid %XX escape decoded; an invalid escape stays as written. Clients may
/// escape the same URI differently from one message to the next, so documents are keyed by this.
std::string decodeUri(std::string_view uri);

/// The last path segment, decoded: the source name the assembler's report shows
/// ("file:///a/my%20prog.tasm" gives "my prog.tasm"). The whole URI when it has no '/'.
std::string uriFileName(std::string_view uri);

} // namespace tarnasm::lsp
