// AsmError: error types, streamed messages and the rendering of source errors.
#include "source/AsmError.h"

#include "asmparser/AsmToken.h"
#include "support/StringUtil.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

/// Appends the text; a text longer than maxStreamedLength keeps only its beginning and end, so
/// that a huge token quoted by many errors cannot blow up the list and the report.
void appendCut(std::string& message, const char* text, size_t length)
{
    constexpr size_t limit = StreamException<AsmRuntimeError>::maxStreamedLength;
    if (length <= limit) {
        message.append(text, length);
        return;
    }
    const std::string marker = "...";
    const size_t head = (limit - marker.length()) / 2;
    const size_t tail = limit - marker.length() - head;
    message.append(text, head);
    message += marker;
    message.append(text + length - tail, tail);
}

std::string cutCopy(const std::string& text)
{
    std::string copy;
    appendCut(copy, text.data(), text.length());
    return copy;
}

template <class E>
std::shared_ptr<AsmError> copyOf(const E& error)
{
    return std::make_shared<E>(error);
}

}  // namespace

int AsmError::lineNr() const
{
    const auto line = sourceLine();
    return line ? line->lineNr() : 0;
}

std::shared_ptr<AsmError> AsmRuntimeError::shared_ptr_copy() const
{
    return copyOf(*this);
}

std::shared_ptr<AsmError> AsmFatalError::shared_ptr_copy() const
{
    return copyOf(*this);
}

std::shared_ptr<AsmError> AsmProgramTooLongError::shared_ptr_copy() const
{
    return copyOf(*this);
}

// ---- StreamException ----

template <class T>
StreamException<T>& StreamException<T>::operator<<(const char* text)
{
    appendCut(message_, text, std::strlen(text));
    return *this;
}

template <class T>
StreamException<T>& StreamException<T>::operator<<(const std::string& text)
{
    appendCut(message_, text.data(), text.length());
    return *this;
}

template <class T>
StreamException<T>& StreamException<T>::operator<<(const AsmToken& token)
{
    appendCut(message_, token.data() ? token.data() : "", token.length());
    return *this;
}

template <class T>
const char* StreamException<T>::what() const noexcept
{
    try {
        whatBuffer_ = message();
        // A NUL would end the text early for every C-string reader of it.
        std::replace(whatBuffer_.begin(), whatBuffer_.end(), '\0', '?');
        return whatBuffer_.c_str();
    } catch (...) {
        return "(error text could not be rendered: out of memory)";
    }
}

template <class T>
std::shared_ptr<AsmError> StreamException<T>::shared_ptr_copy() const
{
    return copyOf(*this);
}

template class StreamException<AsmRuntimeError>;

// ---- AsmSourceError ----

AsmSourceError::AsmSourceError(AsmErrorKind kind, const SourceErrorRef& ref) : StreamException(kind), references_{ref}
{
    sortAndClean();
}

std::shared_ptr<const SourceLine> AsmSourceError::sourceLine() const
{
    return references_.empty() ? nullptr : references_.front().sourceLine();
}

std::shared_ptr<AsmError> AsmSourceError::shared_ptr_copy() const
{
    return copyOf(*this);
}

std::string AsmSourceError::message() const
{
    const std::string text = errorMessage();
    std::string report;
    for (const SourceErrorRef& ref : references_) {
        if (ref.hasSource()) {
            append(report, ref.getSourceRef(), ": ", text, ": ", ref.pointToTextInSource());
        }
    }
    return report;
}

void AsmSourceError::addErrorInfo(const SourceErrorRef& ref)
{
    references_.insert(std::upper_bound(references_.begin(), references_.end(), ref), ref);
}

void AsmSourceError::sortAndClean()
{
    std::stable_sort(references_.begin(), references_.end());
    while (!references_.empty() && !references_.back().hasSource()) {
        references_.pop_back();
    }
}

// ---- AsmSyntaxError ----

AsmSyntaxError::AsmSyntaxError(AsmErrorKind kind, const SourceErrorRef& ref) : AsmSourceError(kind, ref)
{
    *this << "Syntax error: ";
}

AsmSyntaxError::AsmSyntaxError(AsmErrorKind kind, std::shared_ptr<const SourceLine> line, const std::string& text)
    : AsmSyntaxError(kind, SourceErrorRef(std::move(line), text))
{
}

AsmSyntaxError::AsmSyntaxError(AsmErrorKind kind, std::shared_ptr<const SourceLine> line, size_t start,
                               size_t length)
    : AsmSyntaxError(kind, SourceErrorRef(std::move(line), start, length))
{
}

AsmSyntaxError& AsmSyntaxError::operator<<(const char* text)
{
    AsmSourceError::operator<<(text);
    return *this;
}

AsmSyntaxError& AsmSyntaxError::operator<<(const std::string& text)
{
    AsmSourceError::operator<<(text);
    return *this;
}

AsmSyntaxError& AsmSyntaxError::operator<<(const AsmToken& token)
{
    AsmSourceError::operator<<(token);
    return *this;
}

std::shared_ptr<AsmError> AsmSyntaxError::shared_ptr_copy() const
{
    return copyOf(*this);
}

// ---- Unresolved and duplicate names ----

AsmNameError::AsmNameError(const std::vector<std::shared_ptr<const SourceLine>>& lines, const std::string& name,
                           const std::string& kind, const char* problem)
    // A name can be as long as a line, and one long name used on every line gives an error per
    // line: each keeps only a bounded copy.
    : name_(cutCopy(name)), kind_(kind), errorType_(stringCat(problem, " ", kind, " error"))
{
    *this << stringCat(problem, " ", kind, ": ", name, ". ");
    for (const auto& line : lines) {
        addErrorInfo(SourceErrorRef(line, name));
    }
}

AsmNameError::AsmNameError(const std::vector<SourceErrorRef>& refs, const std::string& name,
                           const std::string& kind, const char* problem)
    : AsmNameError(std::vector<std::shared_ptr<const SourceLine>>{}, name, kind, problem)
{
    for (const SourceErrorRef& ref : refs) {
        addErrorInfo(ref);
    }
}

AsmUnresolvedReferenceError::AsmUnresolvedReferenceError(
    const std::vector<std::shared_ptr<const SourceLine>>& lines, const std::string& name, const std::string& kind)
    : AsmNameError(lines, name, kind, "Unresolved")
{
}

AsmUnresolvedReferenceError::AsmUnresolvedReferenceError(
    std::initializer_list<std::shared_ptr<const SourceLine>> lines, const std::string& name,
    const std::string& kind)
    : AsmUnresolvedReferenceError(std::vector<std::shared_ptr<const SourceLine>>(lines), name, kind)
{
}

AsmUnresolvedReferenceError::AsmUnresolvedReferenceError(std::shared_ptr<const SourceLine> line,
                                                         const std::string& name, const std::string& kind)
    : AsmUnresolvedReferenceError(std::vector<std::shared_ptr<const SourceLine>>{std::move(line)}, name, kind)
{
}

AsmUnresolvedReferenceError::AsmUnresolvedReferenceError(const SourceErrorRef& ref, const std::string& name,
                                                         const std::string& kind)
    : AsmNameError(std::vector<SourceErrorRef>{ref}, name, kind, "Unresolved")
{
}

std::shared_ptr<AsmError> AsmUnresolvedReferenceError::shared_ptr_copy() const
{
    return copyOf(*this);
}

AsmUnresolvedAddressLabelError::AsmUnresolvedAddressLabelError(std::shared_ptr<const SourceLine> line,
                                                               const std::string& name)
    : AsmUnresolvedReferenceError(std::move(line), name, "address label")
{
    setKind(AsmErrorKind::undefinedLabel);
}

AsmUnresolvedAddressLabelError::AsmUnresolvedAddressLabelError(const SourceErrorRef& ref, const std::string& name)
    : AsmUnresolvedReferenceError(ref, name, "address label")
{
    setKind(AsmErrorKind::undefinedLabel);
}

std::shared_ptr<AsmError> AsmUnresolvedAddressLabelError::shared_ptr_copy() const
{
    return copyOf(*this);
}

AsmUnresolvedSymbolError::AsmUnresolvedSymbolError(std::shared_ptr<const SourceLine> line, const std::string& name)
    : AsmUnresolvedReferenceError(std::move(line), name, "symbol")
{
    setKind(AsmErrorKind::undefinedSymbol);
}

AsmUnresolvedSymbolError::AsmUnresolvedSymbolError(const SourceErrorRef& ref, const std::string& name)
    : AsmUnresolvedReferenceError(ref, name, "symbol")
{
    setKind(AsmErrorKind::undefinedSymbol);
}

std::shared_ptr<AsmError> AsmUnresolvedSymbolError::shared_ptr_copy() const
{
    return copyOf(*this);
}

AsmDuplicateDefinitionError::AsmDuplicateDefinitionError(
    const std::vector<std::shared_ptr<const SourceLine>>& lines, const std::string& name, const std::string& kind)
    : AsmNameError(lines, name, kind, "Duplicate")
{
}

AsmDuplicateDefinitionError::AsmDuplicateDefinitionError(
    std::initializer_list<std::shared_ptr<const SourceLine>> lines, const std::string& name,
    const std::string& kind)
    : AsmDuplicateDefinitionError(std::vector<std::shared_ptr<const SourceLine>>(lines), name, kind)
{
}

AsmDuplicateDefinitionError::AsmDuplicateDefinitionError(std::initializer_list<SourceErrorRef> refs,
                                                         const std::string& name, const std::string& kind)
    : AsmNameError(std::vector<SourceErrorRef>(refs), name, kind, "Duplicate")
{
}

std::shared_ptr<AsmError> AsmDuplicateDefinitionError::shared_ptr_copy() const
{
    return copyOf(*this);
}

AsmDuplicateAddressLabelError::AsmDuplicateAddressLabelError(
    const std::vector<std::shared_ptr<const SourceLine>>& lines, const std::string& name)
    : AsmDuplicateDefinitionError(lines, name, "address label")
{
    setKind(AsmErrorKind::duplicateLabel);
}

AsmDuplicateAddressLabelError::AsmDuplicateAddressLabelError(
    std::initializer_list<std::shared_ptr<const SourceLine>> lines, const std::string& name)
    : AsmDuplicateDefinitionError(lines, name, "address label")
{
    setKind(AsmErrorKind::duplicateLabel);
}

AsmDuplicateAddressLabelError::AsmDuplicateAddressLabelError(std::initializer_list<SourceErrorRef> refs,
                                                             const std::string& name)
    : AsmDuplicateDefinitionError(refs, name, "address label")
{
    setKind(AsmErrorKind::duplicateLabel);
}

std::shared_ptr<AsmError> AsmDuplicateAddressLabelError::shared_ptr_copy() const
{
    return copyOf(*this);
}

AsmDuplicateSymbolError::AsmDuplicateSymbolError(const std::vector<std::shared_ptr<const SourceLine>>& lines,
                                                 const std::string& name)
    : AsmDuplicateDefinitionError(lines, name, "symbol")
{
    setKind(AsmErrorKind::duplicateSymbol);
}

AsmDuplicateSymbolError::AsmDuplicateSymbolError(std::initializer_list<std::shared_ptr<const SourceLine>> lines,
                                                 const std::string& name)
    : AsmDuplicateDefinitionError(lines, name, "symbol")
{
    setKind(AsmErrorKind::duplicateSymbol);
}

AsmDuplicateSymbolError::AsmDuplicateSymbolError(std::initializer_list<SourceErrorRef> refs,
                                                 const std::string& name)
    : AsmDuplicateDefinitionError(refs, name, "symbol")
{
    setKind(AsmErrorKind::duplicateSymbol);
}

std::shared_ptr<AsmError> AsmDuplicateSymbolError::shared_ptr_copy() const
{
    return copyOf(*this);
}
