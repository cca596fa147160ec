// SourceReader: line splitting, line numbering and the four readers.
#include "source/SourceReader.h"

#include "asmparser/CharFilter.h"

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
    std::string text = nextLineContents();
    if (currentLine_ && continuation) {
        currentLine_->concatLine(text);
    } else if (currentLine_ && currentLine_.use_count() == 1) {
        // Nobody else holds the line: reuse it instead of allocating.
        currentLine_->setLine(std::move(text), lineCounter_);
    } else {
        currentLine_ = std::make_shared<SourceLine>(std::move(text), lineCounter_, name_);
    }
    return currentLine_;
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
    if (isEndOfSource()) {
        return {};
    }
    const char* lineEnd = position_;
    while (lineEnd != end_ && !CharFilters::isEndOfLine(*lineEnd)) {
        ++lineEnd;
    }
    if (static_cast<size_t>(lineEnd - position_) > maxLineLength) {
        throwLineTooLong();
    }
    std::string line(position_, lineEnd);
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
    if (isEndOfSource()) {
        return {};
    }
    const std::string& text = *text_;
    size_t lineEnd = position_;
    while (lineEnd < text.length() && !CharFilters::isEndOfLine(text[lineEnd])) {
        ++lineEnd;
    }
    if (lineEnd - position_ > maxLineLength) {
        throwLineTooLong();
    }
    std::string line = text.substr(position_, lineEnd - position_);
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

void StreamSourceReader::skipByteOrderMark()
{
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
    for (int c = stream_.get(); stream_.good(); c = stream_.get()) {
        text->push_back(static_cast<char>(c));
    }
    finish();
    return text;
}

std::string StreamSourceReader::nextLineContents()
{
    std::string line;
    line.reserve(1024);
    // No character read at all is reported as EOF's value.
    int last = std::char_traits<char>::eof();
    while (true) {
        const int c = stream_.get();
        if (!stream_.good()) {
            break;
        }
        last = static_cast<signed char>(c);
        if (CharFilters::isEndOfLine(static_cast<char>(c))) {
            if (isLineEndPair(static_cast<char>(c), static_cast<char>(stream_.peek()))) {
                stream_.ignore(1);
            }
            break;
        }
        // Stop before the memory grows any further.
        if (line.length() == maxLineLength) {
            throwLineTooLong();
        }
        line.push_back(static_cast<char>(c));
    }
    if (stream_.fail() && !stream_.eof()) {
        const std::string state = stream_.bad()
                                      ? "resulted in 'bad' state (read error on i/o operation)."
                                      : "resulted in 'fail' state (logical error on i/o operation)";
        throw std::runtime_error("Reading from stream " + name() + " " + state + " Line read so far:\n" +
                                 line + "\nLast read character value = " + std::to_string(last));
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
    if (std::filesystem::is_regular_file(name(), ec)) {
        file.open(name(), std::ios::in);
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
