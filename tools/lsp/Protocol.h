// Protocol: the Language Server Protocol types the server speaks, and their JSON form.
#pragma once

#include "Markup.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnasm::lsp {

using Json = nlohmann::json;

/// JSON-RPC and LSP error codes the server answers with.
enum class ErrorCode : int
{
    parseError = -32700,
    invalidRequest = -32600,
    methodNotFound = -32601,
    invalidParams = -32602,
    internalError = -32603,
    serverNotInitialized = -32002,
    requestFailed = -32803,
};

/// A request that cannot be answered with a result; the dispatcher turns it into the error
/// response.
class ProtocolError : public std::runtime_error
{
public:
    ProtocolError(ErrorCode code, const std::string& message)
        : std::runtime_error(message), code_(code)
    {
    }
    ErrorCode code() const noexcept { return code_; }

private:
    ErrorCode code_;
};

/// A place in a document: 0-based line, and character counted in UTF-16 code units.
struct Position
{
    int line = 0;
    int character = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

struct Range
{
    Position start;
    Position end;
    friend bool operator==(const Range&, const Range&) = default;
};

struct Location
{
    std::string uri;
    Range range;
};

struct TextEdit
{
    Range range;
    std::string newText;
};

struct DiagnosticRelatedInformation
{
    Location location;
    std::string message;
};

struct Diagnostic
{
    Range range;
    std::string message;
    std::vector<DiagnosticRelatedInformation> related;
    /// The stable name of the error's kind (tarnasm::diagnosticCode); sent as the LSP code.
    std::string code;
};

struct Hover
{
    Markup contents;
    Range range;
};

/// The LSP's CompletionItemKind values the server uses.
enum class CompletionKind : int
{
    keyword = 14,
    variable = 6,
    constant = 21,
    reference = 18,
    function = 3,
};

struct CompletionItem
{
    std::string label;
    CompletionKind kind = CompletionKind::keyword;
    std::string detail;
    Markup documentation;
    /// Replaces the word being typed; after a typed '@' or '$' only the name behind it, so that
    /// clients which replace the word without its sigil and those which replace all of it agree.
    TextEdit edit;
    /// What the client matches the typed text against; the inserted text when empty.
    std::string filterText;
};

/// A parameter as a range [start, end) of its signature's label, in UTF-16 code units.
struct ParameterInformation
{
    int start = 0;
    int end = 0;
    std::string documentation;
};

struct SignatureInformation
{
    std::string label;
    std::string documentation;
    std::vector<ParameterInformation> parameters;
};

struct SignatureHelp
{
    std::vector<SignatureInformation> signatures;
    int activeSignature = 0;
    int activeParameter = 0;
};

/// The LSP's SymbolKind values the server uses.
enum class SymbolKind : int
{
    function = 12,
    constant = 14,
};

struct DocumentSymbol
{
    std::string name;
    std::string detail;
    SymbolKind kind = SymbolKind::function;
    Range range;
    Range selectionRange;
};

/// Edits of one document.
struct WorkspaceEdit
{
    std::string uri;
    std::vector<TextEdit> edits;
};

// Requests' parameters, one type per shape; fromJson reads them (below).

/// A request about a whole document.
struct TextDocumentParams
{
    std::string uri;
};

/// A request at a place of a document.
struct TextDocumentPositionParams
{
    std::string uri;
    Position position;
};

/// A request over a range of a document (inlay hints, semantic tokens of a range).
struct TextDocumentRangeParams
{
    std::string uri;
    Range range;
};

struct ReferenceParams
{
    std::string uri;
    Position position;
    bool includeDeclaration = true;
};

struct RenameParams
{
    std::string uri;
    Position position;
    std::string newName;
};

/// formatting's params (its options, whose presence is checked, change nothing).
struct FormattingParams
{
    std::string uri;
};

struct RangeFormattingParams
{
    std::string uri;
    Range range;
};

struct SelectionRangeParams
{
    std::string uri;
    std::vector<Position> positions;
};

struct WorkspaceSymbolParams
{
    std::string query;
};

/// textDocument/codeAction's params: the range, and from the context the diagnostics the client
/// names (empty: every one in the range) and the kinds it accepts (unset: every kind).
struct CodeActionParams
{
    std::string uri;
    Range range;
    std::vector<Diagnostic> diagnostics;
    std::optional<std::vector<std::string>> only;
};

/// One entry of didChange's contentChanges: a range and its new text, or the whole text.
struct ContentChange
{
    std::optional<Range> range;
    std::string text;
};

// Reading parameters. Each throws ProtocolError(invalidParams) naming the field that is missing
// or of the wrong type.

/// params.textDocument.uri
std::string documentUri(const Json& params);
/// params.position
Position position(const Json& params);
/// params[key] as a string.
std::string stringField(const Json& object, const char* key);
/// params[key] as an integer of 0 to 2^31-1.
int integerField(const Json& object, const char* key);
Range range(const Json& object);
std::vector<ContentChange> contentChanges(const Json& params);
/// A diagnostic as the client sends it back: its range, message and code (a number as its text).
Diagnostic diagnostic(const Json& object);
CodeActionParams codeActionParams(const Json& params);

// Reading requests' parameters, each throwing as above; params passed on whole are read as
// they came.
void fromJson(const Json& params, Json& out);
void fromJson(const Json& params, TextDocumentParams& out);
void fromJson(const Json& params, TextDocumentPositionParams& out);
void fromJson(const Json& params, TextDocumentRangeParams& out);
void fromJson(const Json& params, ReferenceParams& out);
void fromJson(const Json& params, RenameParams& out);
void fromJson(const Json& params, FormattingParams& out);
void fromJson(const Json& params, RangeFormattingParams& out);
void fromJson(const Json& params, SelectionRangeParams& out);
void fromJson(const Json& params, WorkspaceSymbolParams& out);
void fromJson(const Json& params, CodeActionParams& out);

// Writing results.
Json toJson(const Position&);
Json toJson(const Range&);
Json toJson(const Location&);
Json toJson(const Diagnostic&);
/// Documentation in markdown, or as plain text for a client that does not show markdown.
Json toJson(const Markup&, bool markdown);
Json toJson(const Hover&, bool markdown);
Json toJson(const CompletionItem&, bool markdown);
Json toJson(const SignatureHelp&);
Json toJson(const DocumentSymbol&);
Json toJson(const WorkspaceEdit&);

} // namespace tarnasm::lsp
