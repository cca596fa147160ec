// SourceReader: line splitting, line numbering and the four readers.
#include "source/SourceReader.h"

#include "support/ChunkPool.h"
#include "support/Utf8Path.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace {

bool isLineEndPair(char first, char second)
{
    return (first == '\n' && second == '\r') || (first == '\r' && second == '\n');
}

/// The first line feed or carriage return in [begin, end), or end.
const char* findLineEnd(const char* begin, const char* end)
{
    return std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
}

constexpr char byteOrderMark[] = "\xEF\xBB\xBF";
constexpr size_t byteOrderMarkLength = sizeof(byteOrderMark) - 1;

bool startsWithByteOrderMark(const char* text, size_t length)
{
    return length >= byteOrderMarkLength && std::memcmp(text, byteOrderMark, byteOrderMarkLength) == 0;
}

}  // namespace

// ---- SourceReader ----

SourceReader::SourceReader(const std::string& name)
{
    setName(name);
}

void SourceReader::setName(const std::string& name)
{
    if (name.empty()) {
        name_.reset();
    } else {
        name_ = std::make_shared<const std::string>(name);
    }
}

bool SourceReader::start(std::string&)
{
    lineCounter_ = 0;
    currentLine_.reset();
    return true;
}

std::shared_ptr<const SourceLine> SourceReader::nextLine(bool continuation)
{
    if (lineCounter_ == INT_MAX) {
        // The counter cannot count the next line; a source that ends here is still fine.
        if (isEndOfSource()) {
            currentLine_.reset();
            return nullptr;
        }
        throw std::runtime_error("Reading from source " + name() + " stopped after line " +
                                 std::to_string(INT_MAX) + ": no more lines can be numbered");
    }
    ++lineCounter_;
    if (isEndOfSource()) {
        currentLine_.reset();
        return nullptr;
    }
    const std::string_view text = nextLineText();
    if (currentLine_ && continuation) {
        currentLine_->concatLine(text);
    } else if (currentLine_ && currentLine_.use_count() == 1) {
        // Nobody else holds the line: reuse it instead of allocating.
        currentLine_->setLine(text, lineCounter_);
    } else {
        currentLine_ = makePooled<SourceLine>(text, lineCounter_, name_);
    }
    return currentLine_;
}

std::string_view SourceReader::nextLineText()
{
    lineText_ = nextLineContents();
    return lineText_;
}

void SourceReader::throwLineTooLong() const
{
    throw std::runtime_error("line " + std::to_string(lineCounter_) + " of " + name() + " is longer than " +
                             std::to_string(maxLineLength) + " characters");
}

// ---- CharArraySourceReader ----

CharArraySourceReader::CharArraySourceReader(const char* text)
    : CharArraySourceReader(text, text ? std::strlen(text) : 0)
{
}

CharArraySourceReader::CharArraySourceReader(const char* text, size_t length)
    : begin_(text), end_(text ? text + length : nullptr), position_(text)
{
}

CharArraySourceReader::CharArraySourceReader(const char* text, const std::string& name)
    : CharArraySourceReader(text)
{
    setName(name);
}

CharArraySourceReader::CharArraySourceReader(const char* text, size_t length, const std::string& name)
    : CharArraySourceReader(text, length)
{
    setName(name);
}

bool CharArraySourceReader::start(std::string& reason)
{
    SourceReader::start(reason);
    position_ = begin_;
    if (!begin_) {
        reason = "Empty character array source";
        return false;
    }
    if (startsWithByteOrderMark(begin_, sourceLength())) {
        position_ += byteOrderMarkLength;
    }
    return true;
}

bool CharArraySourceReader::isEndOfSource() const
{
    return position_ == end_ || !position_ || *position_ == '\0';
}

std::shared_ptr<const std::string> CharArraySourceReader::readFullSource()
{
    if (sourceLength() == 0) {
        return nullptr;
    }
    return std::make_shared<const std::string>(begin_, sourceLength());
}

std::string CharArraySourceReader::nextLineContents()
{
    return std::string(nextLineText());
}

std::string_view CharArraySourceReader::nextLineText()
{
    if (isEndOfSource()) {
        return {};
    }
    const char* lineEnd = findLineEnd(position_, end_);
    if (static_cast<size_t>(lineEnd - position_) > maxLineLength) {
        throwLineTooLong();
    }
    const std::string_view line(position_, static_cast<size_t>(lineEnd - position_));
    // Exactly one line-end character: CR LF gives an extra empty line here.
    position_ = lineEnd == end_ ? end_ : lineEnd + 1;
    return line;
}

// ---- StringSourceReader ----

StringSourceReader::StringSourceReader(const std::string& text)
    : text_(std::make_shared<const std::string>(text))
{
}

StringSourceReader::StringSourceReader(std::string&& text)
    : text_(std::make_shared<const std::string>(std::move(text)))
{
}

StringSourceReader::StringSourceReader(std::shared_ptr<const std::string> text) : text_(std::move(text)) {}

StringSourceReader::StringSourceReader(const std::string& text, const std::string& name)
    : StringSourceReader(text)
{
    setName(name);
}

StringSourceReader::StringSourceReader(std::string&& text, const std::string& name)
    : StringSourceReader(std::move(text))
{
    setName(name);
}

StringSourceReader::StringSourceReader(std::shared_ptr<const std::string> text, const std::string& name)
    : StringSourceReader(std::move(text))
{
    setName(name);
}

bool StringSourceReader::start(std::string& reason)
{
    // Restarting reads the same lines again, so they get the same numbers again.
    SourceReader::start(reason);
    position_ = 0;
    if (text_ && startsWithByteOrderMark(text_->data(), text_->length())) {
        position_ = byteOrderMarkLength;
    }
    return true;
}

bool StringSourceReader::isEndOfSource() const
{
    return !text_ || position_ == std::string::npos || position_ >= text_->length();
}

std::string StringSourceReader::nextLineContents()
{
    return std::string(nextLineText());
}

std::string_view StringSourceReader::nextLineText()
{
    if (isEndOfSource()) {
        return {};
    }
    const std::string& text = *text_;
    const size_t lineEnd =
        static_cast<size_t>(findLineEnd(text.data() + position_, text.data() + text.length()) - text.data());
    if (lineEnd - position_ > maxLineLength) {
        throwLineTooLong();
    }
    const std::string_view line = std::string_view(text).substr(position_, lineEnd - position_);
    if (lineEnd + 1 < text.length() && isLineEndPair(text[lineEnd], text[lineEnd + 1])) {
        position_ = lineEnd + 2;
    } else {
        position_ = lineEnd < text.length() ? lineEnd + 1 : lineEnd;
    }
    return line;
}

// ---- StreamSourceReader ----

StreamSourceReader::StreamSourceReader(std::istream& stream) : stream_(stream) {}

StreamSourceReader::StreamSourceReader(std::istream& stream, const std::string& name)
    : SourceReader(name), stream_(stream)
{
}

bool StreamSourceReader::fillBuffer()
{
    if (position_ < end_) {
        return true;
    }
    position_ = 0;
    end_ = 0;
    // peek flags the end or a read error on the stream, as reading a character would; after it
    // the stream buffer holds characters that can be taken without another read that may fail.
    if (stream_.good() && stream_.peek() != std::char_traits<char>::eof()) {
        std::streambuf& source = *stream_.rdbuf();
        const std::streamsize count = std::min<std::streamsize>(source.in_avail(), chunkSize);
        // A file buffer offers a few KiB at a time: the buffer grows only as far as it is used.
        buffer_.resize(std::max(buffer_.size(), static_cast<size_t>(count)));
        try {
            end_ = static_cast<size_t>(std::max<std::streamsize>(source.sgetn(buffer_.data(), count), 0));
        } catch (...) {
            stream_.setstate(std::ios::badbit);
        }
    }
    if (end_ == 0) {
        // As with a character read from the stream: the end is known only after trying to read past it.
        atEnd_ = stream_.eof();
        return false;
    }
    return true;
}

void StreamSourceReader::skipByteOrderMark()
{
    // Read character by character: a read error after the mark is the business of the lines.
    for (size_t i = 0; i < byteOrderMarkLength; ++i) {
        if (stream_.get() != static_cast<unsigned char>(byteOrderMark[i])) {
            // No mark: back to the first byte. An end of file met while looking is no end
            // yet (an empty source still has its one empty line); a read error stays.
            stream_.clear(stream_.rdstate() & std::ios::badbit);
            stream_.seekg(0, std::ios::beg);
            return;
        }
    }
}

bool StreamSourceReader::start(std::string& reason)
{
    SourceReader::start(reason);
    position_ = 0;
    end_ = 0;
    atEnd_ = false;
    stream_.seekg(0, std::ios::beg);
    if (stream_.good()) {
        skipByteOrderMark();
    }
    if (stream_.eof()) {
        reason = "End of file reached";
    } else if (stream_.bad()) {
        reason = "Read error";
    } else if (stream_.fail()) {
        reason = "Logical error on read";
    }
    return stream_.good();
}

void StreamSourceReader::finish()
{
    position_ = 0;
    end_ = 0;
    stream_.seekg(0, std::ios::end);
}

size_t StreamSourceReader::sourceLength()
{
    std::string reason;
    if (!start(reason)) {
        return 0;
    }
    stream_.seekg(0, std::ios::end);
    if (!stream_.good()) {
        return 0;
    }
    const std::streamoff length = stream_.tellg();
    return length > 0 ? static_cast<size_t>(length) : 0;
}

std::shared_ptr<const std::string> StreamSourceReader::readFullSource()
{
    const size_t length = sourceLength();
    std::string reason;
    if (length == 0 || !start(reason)) {
        return nullptr;
    }
    auto text = std::make_shared<std::string>();
    text->reserve(length);
    while (fillBuffer()) {
        text->append(buffer_.data() + position_, end_ - position_);
        position_ = end_;
    }
    finish();
    return text;
}

std::string StreamSourceReader::nextLineContents()
{
    return std::string(nextLineText());
}

std::string_view StreamSourceReader::nextLineText()
{
    // A line that lies whole in the buffer is handed out where it is; one that spans reads is
    // collected in line_.
    std::string_view inBuffer;
    bool collected = false;
    line_.clear();
    // No character read at all is reported as EOF's value.
    int last = std::char_traits<char>::eof();
    bool readFailed = true;
    while (fillBuffer()) {
        const char* begin = buffer_.data() + position_;
        const char* end = buffer_.data() + end_;
        const char* lineEnd = findLineEnd(begin, end);
        // Stop before the memory grows any further.
        if (line_.length() + static_cast<size_t>(lineEnd - begin) > maxLineLength) {
            throwLineTooLong();
        }
        if (lineEnd == end) {
            line_.append(begin, lineEnd);
            collected = true;
            last = static_cast<signed char>(end[-1]);
            position_ = end_;
            continue;
        }
        if (collected) {
            line_.append(begin, lineEnd);
        } else {
            inBuffer = std::string_view(begin, static_cast<size_t>(lineEnd - begin));
        }
        const char lineEndChar = *lineEnd;
        last = static_cast<signed char>(lineEndChar);
        position_ = static_cast<size_t>(lineEnd - buffer_.data()) + 1;
        if (position_ == end_ && !collected) {
            // Looking past the line end refills the buffer the line lies in.
            line_.assign(inBuffer);
            collected = true;
        }
        // Looking at the character after the line end may refill the buffer, meet the end or
        // meet a read error.
        readFailed = !fillBuffer();
        if (!readFailed && isLineEndPair(lineEndChar, buffer_[position_])) {
            ++position_;
        }
        break;
    }
    const std::string_view line = collected ? std::string_view(line_) : inBuffer;
    if (readFailed && stream_.fail() && !stream_.eof()) {
        const std::string state = stream_.bad()
                                      ? "resulted in 'bad' state (read error on i/o operation)."
                                      : "resulted in 'fail' state (logical error on i/o operation)";
        throw std::runtime_error("Reading from stream " + name() + " " + state + " Line read so far:\n" +
                                 std::string(line) + "\nLast read character value = " + std::to_string(last));
    }
    return line;
}

// ---- FileSourceReader ----

FileSourceReader::FileSourceReader(const std::string& fileName) : StreamSourceReader(file, fileName) {}

bool FileSourceReader::start(std::string& reason)
{
    if (file.is_open()) {
        file.close();
    }
    file.clear();
    // A directory or a device (/dev/zero) would fail, or never end, only while being read.
    std::error_code ec;
    const std::filesystem::path path = pathFromUtf8(name());
    if (std::filesystem::is_regular_file(path, ec)) {
        // Bytes as they are: text mode on Windows would fold CR LF (the line ends the reader
        // counts) and end the file at its first byte 26.
        file.open(path, std::ios::in | std::ios::binary);
    }
    if (!file.is_open()) {
        reason = "Could not open input file '" + name() + "' for reading";
        return false;
    }
    return StreamSourceReader::start(reason);
}

void FileSourceReader::finish()
{
    StreamSourceReader::finish();
    file.close();
}

bool FileSourceReader::isEndOfSource() const
{
    return !file.is_open() || StreamSourceReader::isEndOfSource();
}
