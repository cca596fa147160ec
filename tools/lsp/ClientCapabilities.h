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

    /// A hover result's contents, in markdown or as plain text.
    void fitHover(Json& hover) const;
    /// Each completion item's documentation likewise.
    void fitCompletion(Json& items) const;
    /// Without related information, the other places go into the message.
    void fitDiagnostics(Json& diagnostics) const;
};

/// The markdown without its markup: no "**" and no backticks.
std::string plainText(std::string_view markdown);

} // namespace tarnasm::lsp
