// ClientCapabilities: reading the client's declarations leniently, and rewriting results to fit.
#include "ClientCapabilities.h"

#include <nlohmann/json.hpp>

#include <initializer_list>

namespace tarnasm::lsp {

namespace {

/// The member at the end of the path, or null when any step is missing or no object.
const Json* find(const Json& root, std::initializer_list<const char*> path)
{
    const Json* at = &root;
    for (const char* key : path) {
        if (!at->is_object() || !at->contains(key)) {
            return nullptr;
        }
        at = &(*at)[key];
    }
    return at;
}

bool flag(const Json& root, std::initializer_list<const char*> path)
{
    const Json* value = find(root, path);
    return value != nullptr && value->is_boolean() && value->get<bool>();
}

bool offersMarkdown(const Json& root, std::initializer_list<const char*> path)
{
    const Json* formats = find(root, path);
    if (formats == nullptr || !formats->is_array()) {
        return false;
    }
    for (const Json& format : *formats) {
        if (format == "markdown") {
            return true;
        }
    }
    return false;
}

} // namespace

ClientCapabilities ClientCapabilities::fromInitialize(const Json& params)
{
    const Json* capabilities = find(params, {"capabilities"});
    if (capabilities == nullptr) {
        return {};
    }
    const Json& c = *capabilities;
    ClientCapabilities result;
    result.hoverMarkdown = offersMarkdown(c, {"textDocument", "hover", "contentFormat"});
    result.completionMarkdown =
        offersMarkdown(c, {"textDocument", "completion", "completionItem", "documentationFormat"});
    result.relatedInformation = flag(c, {"textDocument", "publishDiagnostics", "relatedInformation"});
    result.prepareRename = flag(c, {"textDocument", "rename", "prepareSupport"});
    result.preferredFixes = flag(c, {"textDocument", "codeAction", "isPreferredSupport"});
    return result;
}

void ClientCapabilities::fitDiagnostics(Json& diagnostics) const
{
    if (relatedInformation) {
        return;
    }
    for (Json& diagnostic : diagnostics) {
        const auto related = diagnostic.find("relatedInformation");
        if (related == diagnostic.end()) {
            continue;
        }
        std::string message = diagnostic["message"].get<std::string>();
        message.erase(message.find_last_not_of(' ') + 1);
        for (const Json& place : *related) {
            message += " (also line " + std::to_string(place["location"]["range"]["start"]["line"].get<int>() + 1) +
                       ")";
        }
        diagnostic["message"] = message;
        diagnostic.erase(related);
    }
}

} // namespace tarnasm::lsp
