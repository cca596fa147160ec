// HexStream: a .hex text read in pieces gives what the library's reader gives for the whole text.
#include "HexStream.h"

#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

/// The words as .hex text, or the error as "line:column: message" without the library's own
/// "line L, column C: " before the message.
std::string outcome(const std::function<std::vector<std::uint64_t>()>& read)
{
    try {
        return tarnasm::writeHex(read());
    } catch (const tarnasm::HexFormatError& e) {
        const std::string location = std::to_string(e.line()) + ":" + std::to_string(e.column()) + ": ";
        const std::string what = e.what();
        const std::string prefix = "line " + std::to_string(e.line()) + ", column " + std::to_string(e.column()) + ": ";
        return location + (what.starts_with(prefix) ? what.substr(prefix.size()) : what);
    }
}

void expectSameAsWholeText(const std::string& text)
{
    std::istringstream in(text);
    ASSERT_EQ(outcome([&text] { return tarnasm::readHex(text); }), outcome([&in] { return tarndis::readHexStream(in); }))
        << "text of " << text.size() << " bytes";
}

TEST(HexStream, FaultsAroundPieceBoundariesAndLongLines)
{
    const std::vector<std::uint64_t> words(16384, 0x0123456789abcdef);
    const std::string lf = tarnasm::writeHex(words);
    std::string crlf;
    for (std::size_t i = 0; i < 2500; ++i) {
        crlf += "0123456789ABCDEF\r\n";
    }
    for (const std::string& base : {lf, crlf}) {
        expectSameAsWholeText(base);
        expectSameAsWholeText(base.substr(0, base.size() - 1));
        for (std::size_t at = tarndis::kHexPieceBytes - 20; at < 3 * tarndis::kHexPieceBytes + 20; ++at) {
            if (at % tarndis::kHexPieceBytes < 20 || at % tarndis::kHexPieceBytes >= tarndis::kHexPieceBytes - 20) {
                for (const auto& [erase, insert] : {std::pair<int, const char*>{1, "x"}, {1, "\r"}, {1, ""}, {0, "\n"}}) {
                    expectSameAsWholeText(std::string(base).replace(at, static_cast<std::size_t>(erase), insert));
                }
            }
        }
    }
    expectSameAsWholeText("");
    expectSameAsWholeText(lf + "\n");
    expectSameAsWholeText(lf + "0123456789abcdef");
    expectSameAsWholeText(lf + lf);
    expectSameAsWholeText(std::string(100000, '7') + "\r\n" + lf);
    expectSameAsWholeText(lf.substr(0, 17 * 3000) + std::string(70000, 'a') + "\n");
    expectSameAsWholeText(lf.substr(0, 17 * 3000) + std::string(70000, '7'));
}

} // namespace
