// DocumentStore: the open documents, found by their URI however the client escapes it.
#pragma once

#include "Document.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnasm::lsp {

class DocumentStore
{
public:
    /// Opens (or opens again, replacing) a document.
    Document& open(const std::string& uri, std::string text, int version);
    /// The open document of that URI, or null.
    Document* find(std::string_view uri);
    /// Forgets the document; false when it was not open.
    bool close(std::string_view uri);
    /// Every open document, by URI.
    std::vector<const Document*> all() const;

private:
    std::unordered_map<std::string, Document> documents_;
};

} // namespace tarnasm::lsp
