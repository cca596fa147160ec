// ClientCapabilities: what the client declared it can show, and results fitted to it.
#pragma once

#include "Protocol.h"

namespace tarnasm::lsp {

struct ClientCapabilities
{
    bool hoverMarkdown = false;
    bool completionMarkdown = false;
    bool relatedInformation = false;
    bool prepareRename = false;
    /// The client tells the preferred fix from its alternatives (codeAction.isPreferredSupport).
    bool preferredFixes = false;

    /// Reads initialize's params.capabilities; a member that is missing or of another type
    /// counts as not supported (a client that declares nothing gets plain text).
    static ClientCapabilities fromInitialize(const Json& params);

    /// Without related information, the other places go into the message.
    void fitDiagnostics(Json& diagnostics) const;
};

} // namespace tarnasm::lsp
