// Protocol: reading parameters from JSON with checked types, and writing results.
#include "Protocol.h"

#include <nlohmann/json.hpp>

#include <climits>

namespace tarnasm::lsp {

namespace {

[[noreturn]] void invalid(const std::string& what)
{
    throw ProtocolError(ErrorCode::invalidParams, what);
}

const Json& member(const Json& object, const char* key)
{
    if (!object.is_object()) {
        invalid(std::string("expected an object holding '") + key + "'");
    }
    const auto found = object.find(key);
    if (found == object.end()) {
        invalid(std::string("missing '") + key + "'");
    }
    return *found;
}

} // namespace

std::string stringField(const Json& object, const char* key)
{
    const Json& value = member(object, key);
    if (!value.is_string()) {
        invalid(std::string("'") + key + "' must be a string");
    }
    return value.get<std::string>();
}

int integerField(const Json& object, const char* key)
{
    const Json& value = member(object, key);
    // A float or a number beyond int would be cut silently by a plain get<int>.
    if (value.is_number_unsigned() && value.get<std::uint64_t>() <= INT_MAX) {
        return static_cast<int>(value.get<std::uint64_t>());
    }
    if (value.is_number_integer() && value.get<std::int64_t>() >= 0 && value.get<std::int64_t>() <= INT_MAX) {
        return static_cast<int>(value.get<std::int64_t>());
    }
    invalid(std::string("'") + key + "' must be an integer from 0 to 2147483647");
}

std::string documentUri(const Json& params)
{
    return stringField(member(params, "textDocument"), "uri");
}

Position position(const Json& params)
{
    const Json& value = member(params, "position");
    return {integerField(value, "line"), integerField(value, "character")};
}

Range range(const Json& object)
{
    const Json& value = member(object, "range");
    return {{integerField(member(value, "start"), "line"), integerField(member(value, "start"), "character")},
            {integerField(member(value, "end"), "line"), integerField(member(value, "end"), "character")}};
}

std::vector<ContentChange> contentChanges(const Json& params)
{
    const Json& changes = member(params, "contentChanges");
    if (!changes.is_array()) {
        invalid("'contentChanges' must be an array");
    }
    std::vector<ContentChange> result;
    for (const Json& change : changes) {
        ContentChange entry;
        if (change.is_object() && change.contains("range")) {
            entry.range = range(change);
        }
        entry.text = stringField(change, "text");
        result.push_back(std::move(entry));
    }
    return result;
}

Diagnostic diagnostic(const Json& object)
{
    Diagnostic result{range(object), {}, {}, {}};
    if (const auto message = object.find("message"); message != object.end() && message->is_string()) {
        result.message = message->get<std::string>();
    }
    if (const auto code = object.find("code"); code != object.end()) {
        result.code = code->is_string() ? code->get<std::string>() : code->is_number() ? code->dump() : "";
    }
    return result;
}

CodeActionParams codeActionParams(const Json& params)
{
    CodeActionParams result{documentUri(params), range(params), {}, std::nullopt};
    const auto context = params.find("context");
    if (context == params.end() || context->is_null()) {
        return result; // some clients leave out the context the protocol requires
    }
    if (!context->is_object()) {
        invalid("'context' must be an object");
    }
    if (const auto diagnostics = context->find("diagnostics"); diagnostics != context->end()) {
        if (!diagnostics->is_array()) {
            invalid("'context.diagnostics' must be an array");
        }
        for (const Json& entry : *diagnostics) {
            result.diagnostics.push_back(diagnostic(entry));
        }
    }
    if (const auto only = context->find("only"); only != context->end() && !only->is_null()) {
        if (!only->is_array()) {
            invalid("'context.only' must be an array");
        }
        result.only.emplace();
        for (const Json& kind : *only) {
            if (!kind.is_string()) {
                invalid("'context.only' must hold strings");
            }
            result.only->push_back(kind.get<std::string>());
        }
    }
    return result;
}

void fromJson(const Json& params, Json& out)
{
    out = params;
}

void fromJson(const Json& params, TextDocumentParams& out)
{
    out.uri = documentUri(params);
}

void fromJson(const Json& params, TextDocumentPositionParams& out)
{
    out.position = position(params);
    out.uri = documentUri(params);
}

void fromJson(const Json& params, TextDocumentRangeParams& out)
{
    out.uri = documentUri(params);
    out.range = range(params);
}

void fromJson(const Json& params, ReferenceParams& out)
{
    if (const auto context = params.find("context"); context != params.end()) {
        if (!context->is_object()) {
            invalid("'context' must be an object");
        }
        if (const auto include = context->find("includeDeclaration"); include != context->end()) {
            if (!include->is_boolean()) {
                invalid("'includeDeclaration' must be true or false");
            }
            out.includeDeclaration = include->get<bool>();
        }
    }
    out.position = position(params);
    out.uri = documentUri(params);
}

void fromJson(const Json& params, RenameParams& out)
{
    out.newName = stringField(params, "newName");
    out.position = position(params);
    out.uri = documentUri(params);
}

namespace {

void checkOptions(const Json& params)
{
    if (const auto options = params.find("options"); options != params.end() && !options->is_object()) {
        invalid("'options' must be an object");
    }
}

} // namespace

void fromJson(const Json& params, FormattingParams& out)
{
    out.uri = documentUri(params);
    checkOptions(params);
}

void fromJson(const Json& params, RangeFormattingParams& out)
{
    out.uri = documentUri(params);
    checkOptions(params);
    out.range = range(params);
}

void fromJson(const Json& params, SelectionRangeParams& out)
{
    out.uri = documentUri(params);
    const auto positions = params.find("positions");
    if (positions == params.end() || !positions->is_array()) {
        invalid("'positions' must be an array");
    }
    for (const Json& at : *positions) {
        out.positions.push_back(position(Json{{"position", at}}));
    }
}

void fromJson(const Json& params, WorkspaceSymbolParams& out)
{
    out.query = stringField(params, "query");
}

void fromJson(const Json& params, CodeActionParams& out)
{
    out = codeActionParams(params);
}

Json toJson(const Position& p)
{
    return {{"line", p.line}, {"character", p.character}};
}

Json toJson(const Range& r)
{
    return {{"start", toJson(r.start)}, {"end", toJson(r.end)}};
}

Json toJson(const Location& l)
{
    return {{"uri", l.uri}, {"range", toJson(l.range)}};
}

Json toJson(const Diagnostic& d)
{
    // The report ends its messages with a blank; an editor shows the words alone.
    const auto trimmed = [](const std::string& text) { return text.substr(0, text.find_last_not_of(' ') + 1); };
    Json result = {{"range", toJson(d.range)}, {"severity", 1}, {"source", "tarnasm"}, {"message", trimmed(d.message)}};
    if (!d.code.empty()) {
        result["code"] = d.code;
    }
    if (!d.related.empty()) {
        Json related = Json::array();
        for (const auto& r : d.related) {
            related.push_back({{"location", toJson(r.location)}, {"message", trimmed(r.message)}});
        }
        result["relatedInformation"] = std::move(related);
    }
    return result;
}

Json toJson(const Markup& m, bool markdown)
{
    if (markdown) {
        return {{"kind", "markdown"}, {"value", m.markdown()}};
    }
    return {{"kind", "plaintext"}, {"value", m.plainText()}};
}

Json toJson(const Hover& h, bool markdown)
{
    return {{"contents", toJson(h.contents, markdown)}, {"range", toJson(h.range)}};
}

Json toJson(const CompletionItem& c, bool markdown)
{
    Json result = {{"label", c.label},
                   {"kind", static_cast<int>(c.kind)},
                   {"filterText", c.filterText.empty() ? c.edit.newText : c.filterText},
                   {"textEdit", {{"range", toJson(c.edit.range)}, {"newText", c.edit.newText}}}};
    if (!c.detail.empty()) {
        result["detail"] = c.detail;
    }
    if (!c.documentation.empty()) {
        result["documentation"] = toJson(c.documentation, markdown);
    }
    return result;
}

Json toJson(const SignatureHelp& s)
{
    Json signatures = Json::array();
    for (const auto& signature : s.signatures) {
        Json parameters = Json::array();
        for (const auto& p : signature.parameters) {
            parameters.push_back({{"label", {p.start, p.end}}, {"documentation", p.documentation}});
        }
        signatures.push_back({{"label", signature.label},
                              {"documentation", signature.documentation},
                              {"parameters", std::move(parameters)}});
    }
    return {{"signatures", std::move(signatures)},
            {"activeSignature", s.activeSignature},
            {"activeParameter", s.activeParameter}};
}

Json toJson(const DocumentSymbol& s)
{
    return {{"name", s.name},
            {"detail", s.detail},
            {"kind", static_cast<int>(s.kind)},
            {"range", toJson(s.range)},
            {"selectionRange", toJson(s.selectionRange)}};
}

Json toJson(const WorkspaceEdit& w)
{
    Json edits = Json::array();
    for (const auto& e : w.edits) {
        edits.push_back({{"range", toJson(e.range)}, {"newText", e.newText}});
    }
    return {{"changes", {{w.uri, std::move(edits)}}}};
}

} // namespace tarnasm::lsp
