// Fuzz target: any bytes as .hex text through readHex, and as raw words through decode and
// disassemble, whose text must assemble back to exactly those words.
#include "FuzzSupport.h"

#include <tarnasm/tarnasm.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void checkHexText(std::string_view text)
{
    std::vector<std::uint64_t> words;
    try {
        words = tarnasm::readHex(text);
    } catch (const tarnasm::HexFormatError& e) {
        FUZZ_CHECK(e.line() >= 1 && e.column() >= 0);
        return;
    }
    FUZZ_CHECK(words.size() <= tarnasm::kInstructionMemoryWords);
    const std::string written = tarnasm::writeHex(words);
    FUZZ_CHECK(tarnasm::readHex(written) == words);
}

void checkWords(const std::uint8_t* data, size_t size)
{
    std::vector<std::uint64_t> words(size / 8);
    if (!words.empty()) {
        std::memcpy(words.data(), data, words.size() * 8);
    }
    size_t known = 0;
    for (std::uint64_t word : words) {
        const tarnasm::DecodedWord decoded = tarnasm::decode(word);
        FUZZ_CHECK(decoded.word == word);
        if (decoded.ok()) {
            // A few words alone; the whole text below covers every word.
            if (++known <= 4) {
                const tarnasm::Program program = tarnasm::assemble(decoded.text());
                FUZZ_CHECK(program.ok() && program.words().size() == 1 && program.words()[0] == word);
            }
        }
    }
    try {
        const tarnasm::Program program = tarnasm::assemble(tarnasm::disassemble(words));
        FUZZ_CHECK(known == words.size());
        FUZZ_CHECK(program.ok() && std::vector<std::uint64_t>(program.words().begin(), program.words().end()) == words);
    } catch (const tarnasm::DisassemblyError& e) {
        FUZZ_CHECK(e.unknownWords().size() == words.size() - known);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    checkHexText(std::string_view(reinterpret_cast<const char*>(data), size));
    checkWords(data, size);
    return 0;
}
