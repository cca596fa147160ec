// SourceLine: line counting and location texts.
#include "source/SourceLine.h"

#include "support/StringUtil.h"

#include <algorithm>
#include <utility>

SourceLine::SourceLine(std::string text) : text_(text) {}

SourceLine::SourceLine(std::string_view text, int lineNr, std::shared_ptr<const std::string> name)
    : lineNr_(lineNr), text_(text), name_(std::move(name))
{
}

void SourceLine::setLine(std::string_view text, int lineNr)
{
    text_ = text;
    lineNr_ = lineNr;
}

void SourceLine::concatLine(std::string_view text)
{
    text_ += '\n';
    text_ += text;
}

int SourceLine::numLines() const
{
    if (lineNr_ < 1) {
        return 0;
    }
    return static_cast<int>(std::count(text_.begin(), text_.end(), '\n')) + 1;
}

std::string SourceLine::getSourceRef() const
{
    std::string ref;
    if (name_) {
        ref += *name_;
        if (lineNr_ != 0) {
            ref += ':';
        }
    } else if (lineNr_ != 0) {
        ref += numLines() != 1 ? "lines " : "line ";
    }
    if (lineNr_ != 0) {
        append(ref, lineNr_);
        if (numLines() > 1) {
            append(ref, '-', lastLineNr());
        }
    }
    return ref;
}

std::string SourceLine::getSourceRef(size_t column) const
{
    std::string ref = getSourceRef();
    if (column != std::string::npos) {
        append(ref, name_ ? ":" : " column ", static_cast<unsigned long>(column));
    }
    return ref;
}
