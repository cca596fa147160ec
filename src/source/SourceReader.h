// SourceReader: line readers over files, input streams, strings and character arrays.
#pragma once

#include "source/SourceLine.h"
#include "support/InputFile.h"

#include <cstddef>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// Hands out a source one logical line at a time. Lines end at LF, CR, or a two-character
/// pair of them (how pairs count differs per reader); a UTF-8 byte-order mark at the very
/// start is skipped.
class SourceReader
{
public:
    SourceReader() = default;
    explicit SourceReader(const std::string& name);
    virtual ~SourceReader() = default;

    /// Prepares reading from the beginning; on failure puts the cause into reason.
    virtual bool start(std::string& reason);
    /// Stops reading and releases what start opened.
    virtual void finish() {}
    virtual bool isEndOfSource() const = 0;
    /// Length of the whole source in characters.
    virtual size_t sourceLength() = 0;
    /// The whole source as one string; null when it is empty.
    virtual std::shared_ptr<const std::string> readFullSource() = 0;

    /// The next line, or null at the end. With continuation set, the next physical line is
    /// appended to the current line (after a line feed) instead of starting a new one.
    /// Throws std::runtime_error when the source has more lines than an int counts.
    std::shared_ptr<const SourceLine> nextLine(bool continuation = false);

    /// Longest physical line a reader hands out; a longer one ends the read with a
    /// std::runtime_error, so a file without line ends cannot fill the memory.
    static constexpr size_t maxLineLength = 1048576;

    /// An empty name clears it.
    void setName(const std::string& name);
    /// "" when the reader has no name.
    std::string name() const { return name_ ? *name_ : std::string(); }

protected:
    /// The text of the next physical line without its line end.
    virtual std::string nextLineContents() = 0;
    /// The same text as a view, valid until the next read: lets a reader hand out a line that
    /// lies in its own characters without copying it. The default goes through nextLineContents.
    virtual std::string_view nextLineText();
    /// Number of the last line handed out; lets a subclass resume a numbering.
    void setLineCounter(int lineCounter) { lineCounter_ = lineCounter; }
    /// Throws the std::runtime_error for a physical line longer than maxLineLength.
    [[noreturn]] void throwLineTooLong() const;

private:
    int lineCounter_ = 0;
    std::shared_ptr<const std::string> name_;
    std::shared_ptr<SourceLine> currentLine_;
    std::string lineText_;  ///< the default nextLineText's copy
};

/// Reads characters the caller owns and keeps alive; the source ends at a NUL that starts a
/// line. CR LF counts as two line ends.
class CharArraySourceReader : public SourceReader
{
public:
    /// No characters: start fails.
    CharArraySourceReader() = default;
    explicit CharArraySourceReader(const char* text);
    CharArraySourceReader(const char* text, size_t length);
    CharArraySourceReader(const char* text, const std::string& name);
    CharArraySourceReader(const char* text, size_t length, const std::string& name);

    bool start(std::string& reason) override;
    void finish() override { position_ = end_; }
    bool isEndOfSource() const override;
    size_t sourceLength() override { return static_cast<size_t>(end_ - begin_); }
    std::shared_ptr<const std::string> readFullSource() override;

protected:
    std::string nextLineContents() override;
    std::string_view nextLineText() override;

private:
    const char* begin_ = nullptr;
    const char* end_ = nullptr;
    const char* position_ = nullptr;
};

/// Reads a string it shares; CR LF and LF CR each end one line.
class StringSourceReader : public SourceReader
{
public:
    explicit StringSourceReader(const std::string& text);
    explicit StringSourceReader(std::string&& text);
    explicit StringSourceReader(std::shared_ptr<const std::string> text);
    StringSourceReader(const std::string& text, const std::string& name);
    StringSourceReader(std::string&& text, const std::string& name);
    StringSourceReader(std::shared_ptr<const std::string> text, const std::string& name);

    bool start(std::string& reason) override;
    void finish() override { position_ = std::string::npos; }
    bool isEndOfSource() const override;
    size_t sourceLength() override { return text_ ? text_->length() : 0; }
    std::shared_ptr<const std::string> readFullSource() override { return text_; }

protected:
    std::string nextLineContents() override;
    std::string_view nextLineText() override;

private:
    std::shared_ptr<const std::string> text_;
    size_t position_ = std::string::npos;  ///< npos: not started, or finished
};

/// Reads an input stream the caller owns; CR LF and LF CR each end one line. A read failure
/// in the middle of the source throws std::runtime_error.
class StreamSourceReader : public SourceReader
{
public:
    explicit StreamSourceReader(std::istream& stream);
    StreamSourceReader(std::istream& stream, const std::string& name);

    bool start(std::string& reason) override;
    void finish() override;
    /// True once a read found nothing more, as the stream's end-of-file flag would be.
    bool isEndOfSource() const override { return atEnd_; }
    /// Restarts the reader and leaves the stream at its end.
    size_t sourceLength() override;
    std::shared_ptr<const std::string> readFullSource() override;

protected:
    std::string nextLineContents() override;
    std::string_view nextLineText() override;

private:
    /// Makes at least one unread character available; false at the end or on a read error.
    bool fillBuffer();
    void skipByteOrderMark();

    /// Characters are read in chunks of this size, not one by one.
    static constexpr size_t chunkSize = 65536;

    std::istream& stream_;
    std::vector<char> buffer_;
    /// A line that does not lie whole in buffer_, collected across reads.
    std::string line_;
    size_t position_ = 0;  ///< next unread character in buffer_
    size_t end_ = 0;       ///< end of the characters read into buffer_
    bool atEnd_ = false;
};

namespace detail {
/// Holds the file stream so that it is built before the stream reader that reads it.
struct FileStreamHolder
{
    InputFile file;
};
}  // namespace detail

/// Reads the file named by the reader's name; the file is opened by start, not before.
class FileSourceReader : private detail::FileStreamHolder, public StreamSourceReader
{
public:
    explicit FileSourceReader(const std::string& fileName);

    bool start(std::string& reason) override;
    void finish() override;
    bool isEndOfSource() const override;
};
