// HexStream: a .hex file read through the library's reader a piece of whole lines at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

namespace tarndis {

/// Bytes read at a time: the memory a file of any size takes beside its words.
inline constexpr std::size_t kHexPieceBytes = 8192;

/// The words of a .hex stream, read as tarnasm::readHex reads the whole text, in memory that
/// does not grow with the size of the file: it stops at the first fault or at the word past
/// the instruction memory. Throws tarnasm::HexFormatError with the line in the whole file and a
/// message without the location, and std::ios_base::failure when the stream cannot be read.
std::vector<std::uint64_t> readHexStream(std::istream& in);

} // namespace tarndis
