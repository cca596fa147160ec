// HexStream: pieces cut after a line feed, each read by tarnasm::readHex, lines counted across them.
#include "HexStream.h"

#include <tarnasm/tarnasm.h>

#include <algorithm>
#include <string>

namespace tarndis {

namespace {

/// No line is a word once it holds this many bytes without a line feed (16 digits and a CR).
constexpr std::size_t kLongestLine = 17;

[[noreturn]] void throwTooManyWords()
{
    throw tarnasm::HexFormatError("",
                                  "more than " + std::to_string(tarnasm::kInstructionMemoryWords) +
                                      " words; the instruction memory holds no more",
                                  static_cast<int>(tarnasm::kInstructionMemoryWords) + 1, 0);
}

/// The length of a line whose first bytes are start and whose rest the stream holds, counted as
/// the reader counts it (a CR before the line feed is not counted); reads to the line feed.
std::size_t lineLength(std::string_view start, std::istream& in)
{
    std::size_t length = start.size();
    int last = start.empty() ? 0 : start.back();
    std::streambuf* buffer = in.rdbuf();
    for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc(), ++length) {
        if (c == '\n') {
            return last == '\r' ? length - 1 : length;
        }
        last = c;
    }
    return length;
}

/// The error at its line in the whole file. A piece cut inside a long line told the reader a length that only the piece has: the line's
/// own length is read from the stream.
[[noreturn]] void throwInFile(const tarnasm::HexFormatError& error, int linesBefore, std::string_view cutLine,
                              std::istream& in)
{
    const int line = error.line() + linesBefore;
    // The whole text read at once would stop at the first line past the memory.
    if (line > static_cast<int>(tarnasm::kInstructionMemoryWords)) {
        throwTooManyWords();
    }
    std::string what = error.problem();
    const std::string pieceLength = "this line has " + std::to_string(cutLine.size());
    if (!cutLine.empty() && what.ends_with(pieceLength)) {
        what.replace(what.size() - pieceLength.size(), pieceLength.size(),
                     "this line has " + std::to_string(lineLength(cutLine, in)));
    }
    throw tarnasm::HexFormatError("", what, line, error.column());
}

} // namespace

std::vector<std::uint64_t> readHexStream(std::istream& in)
{
    std::vector<std::uint64_t> words;
    words.reserve(tarnasm::kInstructionMemoryWords);
    std::string text;
    int linesBefore = 0;
    for (bool end = false; !end;) {
        const std::size_t kept = text.size();
        text.resize(kept + kHexPieceBytes);
        in.read(text.data() + kept, static_cast<std::streamsize>(kHexPieceBytes));
        text.resize(kept + static_cast<std::size_t>(in.gcount()));
        if (in.bad()) {
            throw std::ios_base::failure("read error");
        }
        end = in.gcount() == 0;
        // The piece ends after its last line feed; a line too long for a word goes in whole,
        // so that the reader refuses it now rather than the piece grow.
        std::size_t cut = end ? text.size() : text.rfind('\n') + 1;
        const bool cutInsideLine = cut == 0 && text.size() > kLongestLine;
        if (cutInsideLine) {
            cut = text.size();
        }
        std::vector<std::uint64_t> piece;
        try {
            piece = tarnasm::readHex(std::string_view(text).substr(0, cut));
        } catch (const tarnasm::HexFormatError& e) {
            throwInFile(e, linesBefore, cutInsideLine ? std::string_view(text) : std::string_view(), in);
        }
        if (words.size() + piece.size() > tarnasm::kInstructionMemoryWords) {
            throwTooManyWords();
        }
        words.insert(words.end(), piece.begin(), piece.end());
        linesBefore += static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut), '\n'));
        text.erase(0, cut);
    }
    return words;
}

} // namespace tarndis
