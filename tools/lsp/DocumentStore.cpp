// DocumentStore: open documents keyed by their decoded URI.
#include "DocumentStore.h"

#include "Uri.h"

#include <algorithm>

namespace tarnasm::lsp {

Document& DocumentStore::open(const std::string& uri, std::string text, int version)
{
    const std::string key = decodeUri(uri);
    documents_.erase(key);
    return documents_.try_emplace(key, uri, uriFileName(uri), std::move(text), version).first->second;
}

Document* DocumentStore::find(std::string_view uri)
{
    const auto found = documents_.find(decodeUri(uri));
    return found == documents_.end() ? nullptr : &found->second;
}

bool DocumentStore::close(std::string_view uri)
{
    return documents_.erase(decodeUri(uri)) > 0;
}

std::vector<const Document*> DocumentStore::all() const
{
    std::vector<const Document*> result;
    for (const auto& entry : documents_) {
        result.push_back(&entry.second);
    }
    // The map's order changes as documents come and go; answers should not.
    std::sort(result.begin(), result.end(), [](const Document* a, const Document* b) { return a->uri() < b->uri(); });
    return result;
}

} // namespace tarnasm::lsp
