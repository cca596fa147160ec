// SourceErrorRef: a character range in one source line that an error points at.
#pragma once

#include "source/SourceLine.h"

#include <cstddef>
#include <memory>
#include <string>

class SourceErrorRef
{
public:
    /// Widest line a pointer picture shows; a longer one is cut around the range, so that
    /// many errors in one long line cannot blow up the report.
    static constexpr size_t maxPictureWidth = 4096;

    /// A start beyond the line's length becomes npos (no range); a start equal to the
    /// length is kept, so the position just after the text can be marked.
    SourceErrorRef(std::shared_ptr<const SourceLine> line, size_t start, size_t length);
    /// Marks the first occurrence of text in the line (no range when it does not occur).
    SourceErrorRef(std::shared_ptr<const SourceLine> line, const std::string& text);
    // Virtual because the two queries below are: a subclass must be destroyed whole.
    virtual ~SourceErrorRef() = default;
    SourceErrorRef(const SourceErrorRef&) = default;
    SourceErrorRef(SourceErrorRef&&) = default;
    SourceErrorRef& operator=(const SourceErrorRef&) = default;
    SourceErrorRef& operator=(SourceErrorRef&&) = default;

    /// The line is set and carries a line number.
    virtual bool hasSource() const;
    virtual std::shared_ptr<const SourceLine> sourceLine() const { return line_; }

    size_t start() const { return start_; }
    size_t length() const { return length_; }
    /// Has source and a non-empty range.
    bool hasErrorText() const;
    std::string errorText() const;

    /// "prog:12:4" and the like; "" without source, no column without a range.
    std::string getSourceRef() const;
    /// By first line number; references without source sort last.
    bool operator<(const SourceErrorRef& other) const;

    /// A line feed, the line with tabs as four blanks, a line feed, '-' up to the range,
    /// '^' under it, a line feed. A multi-line text comes back bare, without a pointer. A line
    /// wider than maxPictureWidth shows only that many characters around the range, with
    /// "..." where it was cut.
    std::string pointToTextInSource() const;

private:
    std::shared_ptr<const SourceLine> line_;
    size_t start_ = std::string::npos;
    size_t length_ = 0;
};
