// AsmToken: construction, comparison and moves of a token over its line.
#include "asmparser/AsmToken.h"

#include "asmparser/CharFilter.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <utility>

namespace {
int lowerByte(char c) { return std::tolower(static_cast<unsigned char>(c)); }

/// n as a magnitude, safe for the smallest int.
size_t magnitude(int n) { return static_cast<size_t>(-static_cast<long long>(n)); }
}  // namespace

AsmToken::AsmToken(SourcePtr source) : source_(std::move(source)), finish_(position(sourceLength())) {}

AsmToken::AsmToken(SourcePtr source, size_t start) : AsmToken(std::move(source))
{
    setStart(start);
}

AsmToken::AsmToken(SourcePtr source, size_t start, int count) : AsmToken(std::move(source), start)
{
    const size_t length = sourceLength();
    if (count >= 0) {
        setLength(static_cast<size_t>(count));
    } else if (magnitude(count) < length) {
        setFinish(length - magnitude(count));
    } else {
        setFinish(0);
    }
}

AsmToken::AsmToken(const std::string& text) : AsmToken(std::make_shared<const SourceLine>(text)) {}

AsmToken& AsmToken::operator=(const std::string& text)
{
    return *this = AsmToken(text);
}

std::string AsmToken::toString() const
{
    return source_ ? std::string(data(), length()) : std::string();
}

bool AsmToken::passes(const CharFilter& filter) const
{
    return filter.accept(data(), length());
}

bool AsmToken::operator==(const std::string& s) const
{
    return s.size() == length() && std::equal(s.begin(), s.end(), begin());
}

bool AsmToken::isEqualCaseInsensitive(const std::string& s) const
{
    return s.size() == length() &&
           std::equal(s.begin(), s.end(), begin(), [](char a, char b) { return lowerByte(a) == lowerByte(b); });
}

bool AsmToken::isEqualCaseInsensitive(const char* text) const
{
    const char* p = begin();
    for (size_t i = 0; i < length(); ++i, ++text) {
        if (*text == '\0' || lowerByte(*text) != lowerByte(p[i])) {
            return false;
        }
    }
    return *text == '\0';
}

bool AsmToken::operator<(const AsmToken& other) const
{
    const char* a = begin();
    const char* b = other.begin();
    return std::lexicographical_compare(a, a + length(), b, b + other.length(), [](char x, char y) {
        return static_cast<signed char>(x) < static_cast<signed char>(y);
    });
}

AsmToken AsmToken::substr(size_t pos, int count) const
{
    const size_t len = length();
    if (count == 0 || pos >= len) {
        return AsmToken(source_, 0, 0);
    }
    size_t n = 0;
    if (count > 0) {
        n = std::min(static_cast<size_t>(count), len - pos);
    } else if (len - pos > magnitude(count)) {
        n = len - pos - magnitude(count);
    }
    AsmToken part = *this;
    part.start_ = position(start_ + pos);
    part.finish_ = position(part.start_ + n);
    return part;
}

void AsmToken::setStart(size_t start)
{
    start_ = position(std::min(start, sourceLength()));
    finish_ = std::max(start_, finish_);
}

void AsmToken::setFinish(size_t finish)
{
    finish_ = position(std::min(finish, sourceLength()));
    start_ = std::min(start_, finish_);
}

void AsmToken::setLength(size_t length)
{
    // Compared as a distance so that a huge length cannot wrap start_ + length.
    const size_t room = sourceLength() - start_;
    finish_ = position(start_ + std::min(length, room));
}

void AsmToken::advance(size_t n)
{
    const size_t room = sourceLength() - start_;
    setStart(start_ + std::min(n, room));
}

void AsmToken::stripBack()
{
    while (finish_ > start_ && CharFilters::isSpace.accept((*source_)[finish_ - 1])) {
        --finish_;
    }
}

char AsmToken::popFront()
{
    if (start_ >= finish_) {
        return '\0';
    }
    return (*source_)[start_++];
}

AsmToken AsmToken::following() const
{
    AsmToken rest = *this;
    rest.next();
    return rest;
}

void AsmToken::clear()
{
    source_.reset();
    start_ = 0;
    finish_ = 0;
}

std::ostream& operator<<(std::ostream& os, const AsmToken& token)
{
    if (!token.empty()) {
        os.write(token.data(), static_cast<std::streamsize>(token.length()));
    }
    return os;
}
