// ListingWriter: an assembled source, every line after the address and word it gave.
#pragma once

#include <tarnasm/tarnasm.h>

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tarndis {

/// Prints each source line as written after 4 hexadecimal digits of address and 16 of word
/// where the line holds an instruction, after the address alone where it holds only a label,
/// and after blanks elsewhere.
class ListingWriter
{
public:
    /// program must be the assembly of source, read from the file as tarnasm reads it.
    ListingWriter(const tarnasm::Program& program, std::string_view source);

    void write(std::ostream& out) const;

    /// The source's lines without their line ends, cut where the assembler cuts them: at LF, CR,
    /// CR LF or LF CR; a UTF-8 byte-order mark at the start is no part of the first line.
    static std::vector<std::string_view> splitLines(std::string_view source);

private:
    const tarnasm::Program& program_;
    std::vector<std::string_view> lines_;
};

} // namespace tarndis
