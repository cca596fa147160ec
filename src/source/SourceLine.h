// SourceLine: one logical line of assembly source with its line number and source name.
#pragma once

#include "support/ChunkPool.h"

#include <memory>
#include <string>
#include <string_view>

class SourceLine
{
public:
    /// A program keeps every line; their texts come from the pool, beside the lines themselves.
    using Text = std::basic_string<char, std::char_traits<char>, ChunkAllocator<char>>;

    /// A line made up by the program: line number 0, no source name.
    explicit SourceLine(std::string text);
    /// The text is copied: readers hand out lines that lie in their own buffers.
    SourceLine(std::string_view text, int lineNr, std::shared_ptr<const std::string> name);

    /// Replaces text and number; the source name stays (lets readers reuse the object).
    void setLine(std::string_view text, int lineNr);
    /// Appends a continued physical line, separated by a line feed.
    void concatLine(std::string_view text);

    int lineNr() const { return lineNr_; }
    /// 0 for a line that does not come from a source.
    int numLines() const;
    int lastLineNr() const { return lineNr_ + (numLines() - 1); }
    bool isMultiLine() const { return numLines() > 1; }
    bool hasSource() const { return lineNr_ >= 1; }

    std::string toString() const { return std::string(text_); }
    std::string_view text() const { return text_; }
    const char* data() const { return text_.c_str(); }
    size_t length() const { return text_.length(); }
    char operator[](size_t i) const { return text_[i]; }
    size_t find(const std::string& s) const { return text_.find(s); }
    std::string substr(size_t pos, size_t len) const { return std::string(text().substr(pos, len)); }
    const std::shared_ptr<const std::string>& sourceName() const { return name_; }

    /// Location text: "prog:12", "line 12", "prog:12-14", "lines 12-14".
    std::string getSourceRef() const;
    /// As above with the zero-based column: "prog:12:4", "line 12 column 4".
    std::string getSourceRef(size_t column) const;

private:
    int lineNr_ = 0;
    Text text_;
    std::shared_ptr<const std::string> name_;
};
