// AsmError: the assembler's error classes, from plain runtime errors to errors that point into the source.
#pragma once

#include "source/SourceErrorRef.h"
#include "source/SourceLine.h"

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class AsmToken;

/// What an error is about, given by the code that raises it, so that tools can key on it while
/// the report's wording stays free to change.
enum class AsmErrorKind
{
    other,
    unreadableSource,
    spuriousCharacters,
    unknownMnemonic,
    unsupportedOperands,
    operandOutOfRange,
    invalidOperand,
    invalidNumber,
    invalidSymbolName,
    invalidLabelReference,
    undefinedLabel,
    undefinedSymbol,
    duplicateLabel,
    duplicateSymbol,
    directiveWithoutName,
    directiveWithoutValue,
    unknownDirective,
    programTooLong,
};

/// The interface every assembler error offers; thrown and caught as AsmError&.
class AsmError
{
public:
    virtual ~AsmError() = default;
    AsmErrorKind kind() const { return kind_; }
    virtual const char* what() const noexcept = 0;
    virtual const char* errorType() const = 0;
    virtual bool hasSource() const { return false; }
    /// The first line the error points at, or null.
    virtual std::shared_ptr<const SourceLine> sourceLine() const { return nullptr; }
    /// Number of source references the error carries.
    virtual size_t numberOfErrorSources() const { return 0; }
    /// 0 when the error has no line.
    virtual int lineNr() const;
    /// A new heap copy of the error with its full class.
    virtual std::shared_ptr<AsmError> shared_ptr_copy() const = 0;

protected:
    explicit AsmError(AsmErrorKind kind = AsmErrorKind::other) : kind_(kind) {}
    AsmError(const AsmError&) = default;
    AsmError& operator=(const AsmError&) = default;
    /// For the classes that are of one kind whatever their base is built with.
    void setKind(AsmErrorKind kind) { kind_ = kind; }

private:
    AsmErrorKind kind_;
};

/// An error without a place in the source (a file that cannot be read, ...).
class AsmRuntimeError : public AsmError, public std::runtime_error
{
public:
    explicit AsmRuntimeError(const std::string& text, AsmErrorKind kind = AsmErrorKind::other)
        : AsmError(kind), std::runtime_error(text)
    {
    }
    explicit AsmRuntimeError(const char* text, AsmErrorKind kind = AsmErrorKind::other)
        : AsmError(kind), std::runtime_error(text)
    {
    }

    const char* what() const noexcept override { return std::runtime_error::what(); }
    const char* errorType() const override { return "AsmRuntimeError"; }
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

class AsmFatalError : public AsmRuntimeError
{
public:
    using AsmRuntimeError::AsmRuntimeError;

    const char* errorType() const override { return "AsmFatalError"; }
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

class AsmProgramTooLongError : public AsmFatalError
{
public:
    explicit AsmProgramTooLongError(const std::string& text) : AsmFatalError(text, AsmErrorKind::programTooLong) {}

    const char* errorType() const override { return "Asm program too long"; }
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

/// An error whose text is streamed in: err << "bad value " << token.
template <class T>
class StreamException : public T
{
public:
    /// Longest text one << keeps whole; a longer one keeps its beginning and end around "...".
    static constexpr size_t maxStreamedLength = 4096;

    explicit StreamException(AsmErrorKind kind = AsmErrorKind::other) : T("", kind) {}

    StreamException& operator<<(const char* text);
    StreamException& operator<<(const std::string& text);
    /// Appends the token's text.
    StreamException& operator<<(const AsmToken& token);

    /// The text streamed in; subclasses render more around it.
    virtual std::string message() const { return message_; }
    /// Renders message() afresh into one buffer per error, NUL bytes shown as '?': a second
    /// call overwrites the text the first returned, so never hold two results of one error.
    const char* what() const noexcept override;
    std::shared_ptr<AsmError> shared_ptr_copy() const override;

private:
    std::string message_;
    mutable std::string whatBuffer_;
};

extern template class StreamException<AsmRuntimeError>;

/// An error about places in the source; renders the location, the message and a pointer
/// picture for each of its references, in line order.
class AsmSourceError : public StreamException<AsmRuntimeError>
{
public:
    explicit AsmSourceError(AsmErrorKind kind = AsmErrorKind::other) : StreamException(kind) {}
    /// A reference without source is dropped.
    AsmSourceError(AsmErrorKind kind, const SourceErrorRef& ref);

    const char* errorType() const override { return "Asm source error"; }
    bool hasSource() const override { return !references_.empty(); }
    std::shared_ptr<const SourceLine> sourceLine() const override;
    size_t numberOfErrorSources() const override { return references_.size(); }
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
    /// The rendered report: per reference "location: message: picture".
    std::string message() const override;

    /// The plain streamed message.
    std::string errorMessage() const { return StreamException<AsmRuntimeError>::message(); }
    /// Inserts after every reference that does not sort after it (stable; sourceless last).
    void addErrorInfo(const SourceErrorRef& ref);
    /// Stable sort, then drops trailing references without source.
    void sortAndClean();
    const std::vector<SourceErrorRef>& references() const { return references_; }

private:
    std::vector<SourceErrorRef> references_;
};

/// Its constructors stream "Syntax error: "; the raiser gives the kind and streams the details.
class AsmSyntaxError : public AsmSourceError
{
public:
    AsmSyntaxError(AsmErrorKind kind, const SourceErrorRef& ref);
    /// Marks the first occurrence of text in the line.
    AsmSyntaxError(AsmErrorKind kind, std::shared_ptr<const SourceLine> line, const std::string& text);
    AsmSyntaxError(AsmErrorKind kind, std::shared_ptr<const SourceLine> line, size_t start, size_t length);

    AsmSyntaxError& operator<<(const char* text);
    AsmSyntaxError& operator<<(const std::string& text);
    AsmSyntaxError& operator<<(const AsmToken& token);

    const char* errorType() const override { return "Asm syntax error"; }
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

/// An error about a name, missing or defined more than once. Built from lines, each line is
/// marked at the name's first occurrence in it; built from references, at the places given.
class AsmNameError : public AsmSourceError
{
public:
    /// problem + " " + kind + " error", such as "Unresolved symbol error".
    const char* errorType() const override { return errorType_.c_str(); }
    /// Cut like a streamed text when longer than maxStreamedLength.
    const std::string& name() const { return name_; }
    const std::string& kind() const { return kind_; }

protected:
    /// Streams problem + " " + kind + ": " + name + ". ".
    AsmNameError(const std::vector<std::shared_ptr<const SourceLine>>& lines, const std::string& name,
                 const std::string& kind, const char* problem);
    AsmNameError(const std::vector<SourceErrorRef>& refs, const std::string& name, const std::string& kind,
                 const char* problem);

private:
    std::string name_;
    std::string kind_;
    std::string errorType_;
};

/// A name used but never defined.
class AsmUnresolvedReferenceError : public AsmNameError
{
public:
    AsmUnresolvedReferenceError(const std::vector<std::shared_ptr<const SourceLine>>& lines,
                                const std::string& name, const std::string& kind);
    AsmUnresolvedReferenceError(std::initializer_list<std::shared_ptr<const SourceLine>> lines,
                                const std::string& name, const std::string& kind);
    AsmUnresolvedReferenceError(std::shared_ptr<const SourceLine> line, const std::string& name,
                                const std::string& kind);
    AsmUnresolvedReferenceError(const SourceErrorRef& ref, const std::string& name, const std::string& kind);
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

class AsmUnresolvedAddressLabelError : public AsmUnresolvedReferenceError
{
public:
    AsmUnresolvedAddressLabelError(std::shared_ptr<const SourceLine> line, const std::string& name);
    AsmUnresolvedAddressLabelError(const SourceErrorRef& ref, const std::string& name);
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

class AsmUnresolvedSymbolError : public AsmUnresolvedReferenceError
{
public:
    AsmUnresolvedSymbolError(std::shared_ptr<const SourceLine> line, const std::string& name);
    AsmUnresolvedSymbolError(const SourceErrorRef& ref, const std::string& name);
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

/// A name defined more than once.
class AsmDuplicateDefinitionError : public AsmNameError
{
public:
    AsmDuplicateDefinitionError(const std::vector<std::shared_ptr<const SourceLine>>& lines,
                                const std::string& name, const std::string& kind);
    AsmDuplicateDefinitionError(std::initializer_list<std::shared_ptr<const SourceLine>> lines,
                                const std::string& name, const std::string& kind);
    AsmDuplicateDefinitionError(std::initializer_list<SourceErrorRef> refs, const std::string& name,
                                const std::string& kind);
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

class AsmDuplicateAddressLabelError : public AsmDuplicateDefinitionError
{
public:
    AsmDuplicateAddressLabelError(const std::vector<std::shared_ptr<const SourceLine>>& lines,
                                  const std::string& name);
    AsmDuplicateAddressLabelError(std::initializer_list<std::shared_ptr<const SourceLine>> lines,
                                  const std::string& name);
    AsmDuplicateAddressLabelError(std::initializer_list<SourceErrorRef> refs, const std::string& name);
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};

class AsmDuplicateSymbolError : public AsmDuplicateDefinitionError
{
public:
    AsmDuplicateSymbolError(const std::vector<std::shared_ptr<const SourceLine>>& lines,
                            const std::string& name);
    AsmDuplicateSymbolError(std::initializer_list<std::shared_ptr<const SourceLine>> lines,
                            const std::string& name);
    AsmDuplicateSymbolError(std::initializer_list<SourceErrorRef> refs, const std::string& name);
    std::shared_ptr<AsmError> shared_ptr_copy() const override;
};
