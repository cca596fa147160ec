// SourceErrorRef: location texts and the pointer picture under the offending text.
#include "source/SourceErrorRef.h"

#include "support/StringUtil.h"

#include <algorithm>
#include <utility>

namespace {

/// Cuts a shown line wider than SourceErrorRef::maxPictureWidth down to that many characters
/// around the pointer, marking each cut side with "...", and moves the pointer along. The text
/// may be a piece of the line already; cutFront and cutBack say whether the line goes on.
void cutAroundPointer(std::string& text, size_t& pointerStart, size_t& pointerLength, bool cutFront, bool cutBack)
{
    const size_t width = SourceErrorRef::maxPictureWidth;
    if (text.length() <= width && !cutFront && !cutBack) {
        return;
    }
    // The pointed-at text takes up to half the window; the rest is shared by both sides.
    const size_t before = (width - std::min(pointerLength, width / 2)) / 2;
    size_t first = pointerStart > before ? pointerStart - before : 0;
    const size_t last = std::min(text.length(), first + width);
    first = last > width ? last - width : 0;  // near the end the window slides back to stay full
    const std::string marker = "...";
    const bool markFront = cutFront || first > 0;
    std::string shown = markFront ? marker : std::string();
    shown.append(text, first, last - first);
    if (cutBack || last < text.length()) {
        shown += marker;
    }
    pointerLength = std::min(pointerLength, std::max<size_t>(last - pointerStart, 1));
    pointerStart = pointerStart - first + (markFront ? marker.length() : 0);
    text = std::move(shown);
}

}  // namespace

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
    if (!hasSource()) {
        return std::string();
    }
    const std::string_view line = line_->text();
    if (line.empty() || !hasErrorText() || line_->isMultiLine()) {
        return std::string(line);
    }
    // Only the piece a window can show is copied and expanded: every character is at least
    // one column wide, so the window lies within maxPictureWidth characters of the range.
    const size_t pieceFirst = start_ > maxPictureWidth ? start_ - maxPictureWidth : 0;
    const size_t pieceLast = std::min(line.length(), start_ + maxPictureWidth);
    std::string result(line.substr(pieceFirst, pieceLast - pieceFirst));
    const size_t start = start_ - pieceFirst;
    // The range may mark the position just past the text; the caret run is kept
    // to the text (or that one position) so a wild length cannot blow up the picture.
    const size_t available = result.length() - start;
    const size_t length = std::min(length_, std::max<size_t>(available, 1));
    const size_t end = std::min(start + length, result.length());
    const auto tabsBefore = static_cast<size_t>(std::count(result.begin(), result.begin() + start, '\t'));
    const auto tabsInside = static_cast<size_t>(std::count(result.begin() + start, result.begin() + end, '\t'));

    replaceAll(result, "\t", "    ");
    // A NUL would cut the log line, written through "%s", and everything after it.
    std::replace(result.begin(), result.end(), '\0', '?');
    size_t pointerStart = start + 3 * tabsBefore;
    size_t pointerLength = length + 3 * tabsInside;
    cutAroundPointer(result, pointerStart, pointerLength, pieceFirst > 0, pieceLast < line.length());

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
