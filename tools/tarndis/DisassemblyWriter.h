// DisassemblyWriter: .hex words as assembly text that assembles back into the same words.
#pragma once

#include <tarnasm/tarnasm.h>

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarndis {

/// Finds the labels and the unknown words; write then prints one instruction a line with its
/// address and word as a trailing comment, and a label L<address> before each instruction that
/// an instruction-address operand names. Words that are no instruction are kept as comment lines.
class DisassemblyWriter
{
public:
    /// The words must outlive the writer.
    explicit DisassemblyWriter(std::span<const std::uint64_t> words);

    /// The whole text; the header comment names the input.
    void write(std::ostream& out, std::string_view inputName) const;

    /// The words that assembling could not give back, in address order.
    const std::vector<tarnasm::UnknownWord>& unknownWords() const noexcept { return unknown_; }

    /// "opcode 63, select 0: <why>": what the report and the comment line say about a word.
    static std::string describe(const tarnasm::DecodedWord& decoded);

private:
    void writeInstruction(std::string& line, const tarnasm::DecodedWord& decoded) const;

    // The words are taken apart again as they are written: keeping every decoded word would
    // more than double the tool's peak memory.
    std::span<const std::uint64_t> words_;
    /// By address, one past the last word included: whether a label names it.
    std::vector<bool> labelled_;
    std::vector<tarnasm::UnknownWord> unknown_;
};

} // namespace tarndis
