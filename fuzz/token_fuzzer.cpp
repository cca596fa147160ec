// Fuzz target: cutting any line into tokens, parsing it, and the pointer picture of any range in it.
#include "FuzzSupport.h"

#include "asmparser/AsmParser.h"
#include "asmparser/AsmSyntax.h"
#include "asmparser/AsmToken.h"
#include "source/AsmError.h"
#include "source/SourceErrorRef.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

void checkToken(const AsmToken& token, const std::string& text)
{
    FUZZ_CHECK(token.start() <= token.finish() && token.finish() <= text.length());
    FUZZ_CHECK(token.toString() == text.substr(token.start(), token.length()));
}

/// Walks the line word by word as the parser does, with the filter chosen by each byte.
void cutIntoTokens(const AsmSyntax& syntax, const std::shared_ptr<const SourceLine>& line)
{
    const std::string& text = line->toString();
    const CharFilter* filters[] = {&syntax.statementWordChars, &syntax.argumentChars, &syntax.identifierChars,
                                   &syntax.directiveValueChars};
    AsmToken word(line);
    for (size_t steps = 0; !word.isAtEndOfSource(); ++steps) {
        FUZZ_CHECK(steps <= text.length());
        const size_t before = word.start();
        const CharFilter& filter = *filters[static_cast<unsigned char>(text[before]) % 4];
        syntax.filter2Token(word, filter);
        checkToken(word, text);
        FUZZ_CHECK(word.empty() || word.length() == 1 || word.passes(filter));
        if (word.empty()) {
            word.advance(1);  // a character no filter takes: the parser reports it, the walk skips it
        } else {
            const AsmToken rest = word.following();
            checkToken(rest, text);
            FUZZ_CHECK(rest.start() >= word.finish());
            word.next();
        }
        checkToken(word, text);
        FUZZ_CHECK(word.start() > before || word.isAtEndOfSource());
    }
}

std::string shownText(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        shown += c == '\t' ? std::string(4, ' ') : std::string(1, c == '\0' ? '?' : c);
    }
    return shown;
}

/// The picture is the shown line and a pointer whose carets stand under the range's own text.
void checkPicture(const std::shared_ptr<const SourceLine>& line, size_t start, size_t length)
{
    const std::string& text = line->toString();
    const SourceErrorRef ref(line, start, length);
    const std::string picture = ref.pointToTextInSource();
    if (text.empty() || !ref.hasErrorText() || line->isMultiLine()) {
        FUZZ_CHECK(picture == text);
        return;
    }
    FUZZ_CHECK(picture.front() == '\n' && picture.back() == '\n');
    const size_t lineEnd = picture.find('\n', 1);
    FUZZ_CHECK(lineEnd != std::string::npos);
    const std::string shown = picture.substr(1, lineEnd - 1);
    const std::string pointer = picture.substr(lineEnd + 1, picture.length() - lineEnd - 2);
    FUZZ_CHECK(shown.length() <= SourceErrorRef::maxPictureWidth + 6);
    const size_t dashes = pointer.find_first_not_of('-');
    FUZZ_CHECK(dashes != std::string::npos);
    const size_t carets = pointer.length() - dashes;
    FUZZ_CHECK(carets >= 1 && pointer.find_first_not_of('^', dashes) == std::string::npos);

    const std::string expected = shownText(text.substr(ref.start(), ref.length()));
    if (ref.start() == text.length()) {
        FUZZ_CHECK(carets == 1 && dashes == shown.length());
    } else {
        // Cut at the window's end, the carets still cover the beginning of the range.
        FUZZ_CHECK(dashes + carets <= shown.length());
        FUZZ_CHECK(shown.substr(dashes, carets) == expected.substr(0, carets));
        FUZZ_CHECK(carets == expected.length() || shown.compare(dashes + carets, 3, "...") == 0);
    }
    if (shown == shownText(text)) {
        FUZZ_CHECK(dashes == shownText(text.substr(0, ref.start())).length());
    }
}

size_t readSize(const uint8_t*& data, size_t& size)
{
    uint32_t value = 0;
    const size_t n = std::min(size, sizeof value);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const AsmSyntax syntax;
    static AsmParser parser;
    const size_t start = readSize(data, size);
    const size_t length = readSize(data, size);
    // Small ranges most of the time, and now and then one far into a long line.
    const size_t repeat = size > 0 && data[0] == 0xFF ? 1 + SourceErrorRef::maxPictureWidth / size : 1;
    std::string text;
    for (size_t i = 0; i < repeat; ++i) {
        text.append(reinterpret_cast<const char*>(data), size);
    }
    const auto line = std::make_shared<const SourceLine>(std::move(text), 1, std::make_shared<const std::string>("fuzz"));

    cutIntoTokens(syntax, line);
    checkPicture(line, start % (line->length() + 2), length % (line->length() + 2));
    checkPicture(line, start, length);
    try {
        parser.initializeParsing();  // no symbol of an earlier input may count
        parser.parseLine(line);
    } catch (const AsmError& e) {
        const std::string report = e.what();
        // Whatever the line, the report of its error stays a few windows wide.
        FUZZ_CHECK(report.length() <= 4 * SourceErrorRef::maxPictureWidth + 256);
    }
    return 0;
}
