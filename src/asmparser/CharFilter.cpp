// CharFilter: the classifier form, and the predefined classes, defined here in their order of building.
#include "asmparser/CharFilter.h"

#include <cctype>

CharFilter& CharFilter::include(Classifier classifier)
{
    for (size_t v = 0; v < table_.size(); ++v) {
        if (classifier(static_cast<int>(v)) != 0) {
            table_[v] = true;
        }
    }
    return *this;
}

// All but isPrint are built at compile time; isPrint asks the C library during dynamic initialisation.
namespace CharFilters {
constexpr CharFilter isSpace(" \t\v\f\r\n");
constexpr CharFilter isEndOfLine("\n\r");
constexpr CharFilter isDigit("0123456789");
constexpr CharFilter isXLowerDigit("0123456789abcdefx");
constexpr CharFilter isXUpperDigit("0123456789ABCDEFX");
constexpr CharFilter isXDigit = isXLowerDigit | isXUpperDigit;
constexpr CharFilter isODigit("01234567");
constexpr CharFilter isLower("abcdefghijklmnopqrstuvwxyz");
constexpr CharFilter isUpper("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
constexpr CharFilter isAlpha = isLower | isUpper;
constexpr CharFilter isAlnum = isAlpha | isDigit;
const CharFilter isPrint([](int c) { return std::isprint(c); });
}  // namespace CharFilters
