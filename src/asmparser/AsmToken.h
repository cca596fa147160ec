// AsmToken: a range of bytes in a shared source line; tokens never copy text.
#pragma once

#include "asmparser/CharFilter.h"
#include "source/SourceErrorRef.h"
#include "source/SourceLine.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>


/// A half-open range [start, finish) of a source line that keeps the line alive.
/// Every change keeps start <= finish <= sourceLength(); a start equal to the length is allowed.
class AsmToken
{
public:
    using SourcePtr = std::shared_ptr<const SourceLine>;

    AsmToken() = default;
    /// The whole line.
    explicit AsmToken(SourcePtr source);
    /// From position start to the end of the line.
    AsmToken(SourcePtr source, size_t start);
    /// count >= 0: count bytes from start; count < 0: up to -count bytes before the end of the line
    /// (an empty token at 0 when -count is not less than the line length).
    AsmToken(SourcePtr source, size_t start, int count);
    /// A new line (number 0) holding the text, covered entirely.
    explicit AsmToken(const std::string& text);
    AsmToken& operator=(const std::string& text);

    const SourcePtr& sourceLine() const { return source_; }
    /// Whether the line carries a line number; false without a line.
    bool hasSource() const { return source_ && source_->hasSource(); }
    size_t start() const { return start_; }
    size_t finish() const { return finish_; }
    size_t length() const { return finish_ - start_; }
    bool empty() const { return finish_ == start_; }
    size_t sourceLength() const { return source_ ? source_->length() : 0; }

    /// Pointers into the line text; null without a line.
    const char* data() const { return source_ ? source_->data() + start_ : nullptr; }
    const char* begin() const { return data(); }
    const char* end() const { return source_ ? source_->data() + finish_ : nullptr; }
    const char* endOfSource() const { return source_ ? source_->data() + source_->length() : nullptr; }

    /// True without a line, or when start lies at (or beyond) the end of the line.
    bool isAtEndOfSource() const { return !source_ || start_ >= source_->length(); }

    /// The byte at start; not checked against finish, but NUL at or beyond the end of the line.
    char front() const { return (*this)[0]; }
    /// The byte at start + i; not checked against finish, but NUL at or beyond the end of the line.
    char operator[](size_t i) const;

    std::string toString() const;
    /// The token's own place in its line, for an error to point at.
    SourceErrorRef errorRef() const { return SourceErrorRef(source_, start_, length()); }
    /// False for an empty token.
    bool passes(const CharFilter& filter) const;

    /// Exactly one byte, equal to c.
    bool operator==(char c) const { return length() == 1 && front() == c; }
    bool operator==(const std::string& s) const;
    bool isEqualCaseInsensitive(const std::string& s) const;
    bool isEqualCaseInsensitive(const char* text) const;
    /// Byte-wise order over signed chars, case-sensitive; a prefix sorts first.
    bool operator<(const AsmToken& other) const;

    /// pos bytes in; count > 0: at most count bytes; count < 0: ends -count bytes before this
    /// token's end. count 0 or pos >= length(): an empty token at position 0 of the line.
    AsmToken substr(size_t pos, int count) const;

    void setStart(size_t start);
    void setFinish(size_t finish);
    /// May lengthen the token, up to the end of the line.
    void setLength(size_t length);
    void advance(size_t n);
    /// Skips blanks (CharFilters::isSpace) at the front, not beyond finish.
    void stripFront();
    /// Drops blanks at the back, not below start.
    void stripBack();
    /// The front byte, consumed; NUL (and no change) when the token is empty.
    char popFront();
    /// Becomes the rest of the line after its end, blanks skipped.
    void next();
    /// The rest of the line after this token's end, blanks skipped.
    AsmToken following() const;
    void clear();

private:
    /// Positions are kept in 32 bits: a program holds many tokens. Lines come in far shorter
    /// (one physical line is at most 1 MiB); a longer one is only addressed up to 4 GiB.
    using Position = uint32_t;
    static Position position(size_t n) { return static_cast<Position>(n < UINT32_MAX ? n : UINT32_MAX); }

    SourcePtr source_;
    Position start_ = 0;
    Position finish_ = 0;
};

std::ostream& operator<<(std::ostream& os, const AsmToken& token);

// The calls made for every character and word of a line are inline.

inline char AsmToken::operator[](size_t i) const
{
    // Callers check the token's length, not the line's: reading past the line must stay defined.
    if (!source_ || i >= source_->length() - start_) {
        return '\0';
    }
    return (*source_)[start_ + i];
}

inline void AsmToken::stripFront()
{
    while (start_ < finish_ && CharFilters::isSpace.accept((*source_)[start_])) {
        ++start_;
    }
}

inline void AsmToken::next()
{
    start_ = finish_;
    finish_ = position(sourceLength());
    stripFront();
}
