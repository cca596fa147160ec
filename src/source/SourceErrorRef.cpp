// SourceErrorRef: location texts and the pointer picture under the offending text.
#include "source/SourceErrorRef.h"

#include "support/StringUtil.h"

#include <algorithm>
#include <utility>

SourceErrorRef::SourceErrorRef(std::shared_ptr<const SourceLine> line, size_t start, size_t length)
    : line_(std::move(line)), start_(start), length_(length)
{
    if (line_ && start_ > line_->length()) {
        start_ = std::string::npos;
    }
}

SourceErrorRef::SourceErrorRef(std::shared_ptr<const SourceLine> line, const std::string& text)
    : line_(std::move(line))
{
    if (line_ && !text.empty()) {
        start_ = line_->find(text);
        length_ = text.length();
    }
}

bool SourceErrorRef::hasSource() const
{
    return line_ && line_->hasSource();
}

bool SourceErrorRef::hasErrorText() const
{
    return hasSource() && start_ != std::string::npos && length_ > 0;
}

std::string SourceErrorRef::errorText() const
{
    return hasErrorText() ? line_->substr(start_, length_) : std::string();
}

std::string SourceErrorRef::getSourceRef() const
{
    return hasSource() ? line_->getSourceRef(start_) : std::string();
}

bool SourceErrorRef::operator<(const SourceErrorRef& other) const
{
    if (hasSource() && other.hasSource()) {
        return line_->lineNr() < other.line_->lineNr();
    }
    return hasSource();
}

std::string SourceErrorRef::pointToTextInSource() const
{
    std::string result = hasSource() ? line_->toString() : std::string();
    if (result.empty() || !hasErrorText() || line_->isMultiLine()) {
        return result;
    }
    // The range may mark the position just past the text; the caret run is kept
    // to the text (or that one position) so a wild length cannot blow up the picture.
    const size_t available = result.length() - start_;
    const size_t length = std::min(length_, std::max<size_t>(available, 1));
    const size_t end = std::min(start_ + length, result.length());
    const auto tabsBefore = static_cast<size_t>(std::count(result.begin(), result.begin() + start_, '\t'));
    const auto tabsInside =
        static_cast<size_t>(std::count(result.begin() + start_, result.begin() + end, '\t'));

    replaceAll(result, "\t", "    ");
    // A NUL would cut the log line, written through "%s", and everything after it.
    std::replace(result.begin(), result.end(), '\0', '?');
    const size_t pointerStart = start_ + 3 * tabsBefore;
    const size_t pointerLength = length + 3 * tabsInside;

    if (result.front() != '\n') {
        result.insert(result.begin(), '\n');
    }
    if (pointerStart < result.length()) {
        if (result.back() != '\n') {
            result += '\n';
        }
        result.append(pointerStart, '-');
        result.append(pointerLength, '^');
        result += '\n';
    }
    return result;
}
