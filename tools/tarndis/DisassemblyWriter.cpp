// DisassemblyWriter: labels for address operands, fixed columns, unknown words as comments.
#include "DisassemblyWriter.h"

#include "ListingColumns.h"

#include <ostream>

namespace tarndis {

namespace {

using tarnasm::tools::kCommentColumn;
using tarnasm::tools::kInstructionColumn;
using tarnasm::tools::kOperandColumn;
using tarnasm::tools::padToColumn;

/// Lower-case hexadecimal digits, at least that many: formatting every line through printf
/// would take as long as taking the words apart.
void appendHex(std::string& text, std::uint64_t value, int digits)
{
    char reversed[16];
    int n = 0;
    do {
        reversed[n++] = "0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0 || n < digits);
    while (n > 0) {
        text += reversed[--n];
    }
}

void appendLabel(std::string& text, std::uint64_t address)
{
    text += 'L';
    appendHex(text, address, 4);
}

void appendComment(std::string& line, std::size_t address, std::uint64_t word)
{
    padToColumn(line, kCommentColumn);
    line += "# ";
    appendHex(line, address, 4);
    line += ' ';
    appendHex(line, word, 16);
}

/// A file name can hold a line feed; in the header it must not end the comment.
std::string printableName(std::string_view name)
{
    std::string text(name);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return text;
}

} // namespace

DisassemblyWriter::DisassemblyWriter(std::span<const std::uint64_t> words)
    : words_(words), labelled_(words.size() + 1, false)
{
    for (std::size_t address = 0; address < words.size(); ++address) {
        tarnasm::DecodedWord decoded = tarnasm::decode(words[address]);
        if (!decoded.ok()) {
            unknown_.push_back({address, std::move(decoded)});
            continue;
        }
        for (std::size_t i = 0; i < decoded.operands.size(); ++i) {
            const auto target = static_cast<std::uint64_t>(decoded.operands[i]);
            if (decoded.variant->operands[i].isAddress() && target < labelled_.size()) {
                labelled_[target] = true;
            }
        }
    }
}

std::string DisassemblyWriter::describe(const tarnasm::DecodedWord& decoded)
{
    // Without a variant the library's reason would only repeat opcode and select.
    return "opcode " + std::to_string(decoded.opcode) + ", select " + std::to_string(decoded.select) + ": " +
           (decoded.variant == nullptr ? "no instruction has them" : decoded.problem);
}

void DisassemblyWriter::writeInstruction(std::string& line, const tarnasm::DecodedWord& decoded) const
{
    line += decoded.variant->mnemonic;
    for (std::size_t i = 0; i < decoded.operands.size(); ++i) {
        const tarnasm::OperandInfo& operand = decoded.variant->operands[i];
        const std::int64_t value = decoded.operands[i];
        if (i == 0) {
            padToColumn(line, kOperandColumn);
        } else {
            line += ", ";
        }
        if (operand.isRegister) {
            line += 'R';
        } else if (operand.isAddress() && static_cast<std::uint64_t>(value) < labelled_.size()) {
            line += '@';
            appendLabel(line, static_cast<std::uint64_t>(value));
            continue;
        }
        line += std::to_string(value);
    }
}

void DisassemblyWriter::write(std::ostream& out, std::string_view inputName) const
{
    out << "# " << printableName(inputName) << ": " << words_.size() << (words_.size() == 1 ? " word" : " words")
        << "\n";
    std::string line;
    for (std::size_t address = 0; address <= words_.size(); ++address) {
        if (labelled_[address]) {
            line.clear();
            appendLabel(line, address);
            out << line << ":\n";
        }
        if (address == words_.size()) {
            break;
        }
        const tarnasm::DecodedWord decoded = tarnasm::decode(words_[address]);
        line.assign(kInstructionColumn, ' ');
        if (decoded.ok()) {
            writeInstruction(line, decoded);
        } else {
            line[0] = '#';
            line += "not an instruction: " + describe(decoded);
        }
        appendComment(line, address, decoded.word);
        line += '\n';
        out << line;
    }
}

} // namespace tarndis
