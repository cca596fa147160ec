// tarnasm.h: the public interface of the tarn assembler, for hosts that assemble, inspect and
// disassemble sequencer programs in process.
//
// Everything a host needs is in this header. Results are values that own their data; nothing
// here hands out a pointer the host must free or share. Every function is safe to call from
// any number of threads at once, and none writes to standard output or standard error unless
// the host installs a log handler (setLogHandler).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnasm {

/// The library's version, "major.minor.patch"; the same as the command-line tool's.
std::string_view version() noexcept;

/// Words of the sequencer's instruction memory: a program has at most this many instructions.
inline constexpr std::size_t kInstructionMemoryWords = 16384;

/// A state that correct code never reaches. The library throws it instead of ending the
/// process; the message names the place of the fault.
class InternalError : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

// ---- Assembling ----

/// What an error is about, one value per kind of message the assembler reports; stable across
/// versions, so hosts can act on it without reading the message.
enum class DiagnosticKind
{
    other,                 ///< none of the kinds below
    unreadableSource,      ///< the source could not be read (missing file, a line over the limit)
    spuriousCharacters,    ///< text the statement does not take, or bytes the language does not allow
    unknownMnemonic,       ///< no instruction of that name
    unsupportedOperands,   ///< the mnemonic has no variant for these operand kinds
    operandOutOfRange,     ///< an operand's value does not fit its field
    invalidOperand,        ///< an operand that is neither register, number nor reference
    invalidNumber,         ///< a number (or register number) that cannot be read
    invalidSymbolName,     ///< '$' followed by no valid name
    invalidLabelReference, ///< '@' followed by no valid name
    undefinedLabel,        ///< @name of a label that is never defined
    undefinedSymbol,       ///< $name of a symbol that is never defined
    duplicateLabel,        ///< a label defined twice
    duplicateSymbol,       ///< a symbol defined twice
    directiveWithoutName,  ///< ".DEF" and nothing after it
    directiveWithoutValue, ///< ".DEF name" without a value
    unknownDirective,      ///< a directive word the assembler does not support
    programTooLong,        ///< more instructions than the instruction memory holds
};

/// The kind's stable name for protocols and scripts, such as "unknown-mnemonic".
std::string_view diagnosticCode(DiagnosticKind kind) noexcept;

/// One place in the error report: a location, the message and the line it points into.
/// An error about several places (a label defined twice) gives one Diagnostic per place, in
/// the report's order, all with the same entry and message.
struct Diagnostic
{
    /// The source name as the report shows it; the program's name for an error without a place.
    std::string file;
    /// 1-based line number; 0 for an error without a place (a file that cannot be read).
    int line = 0;
    /// Index of the first marked byte in the line, counted from 0, exactly as the report's
    /// location shows it; -1 when the entry marks no range.
    int column = -1;
    /// Length of the marked range in bytes; 0 when column is -1.
    int length = 0;
    /// The message without location and picture, as the report words it.
    std::string message;
    /// The text of the source line the entry points into ("" without a place).
    std::string sourceLine;
    /// Index of the report entry (the error) this place belongs to, from 0.
    int entry = 0;
    /// What the error is about; the same for every place of one entry.
    DiagnosticKind kind = DiagnosticKind::other;
};

/// A label as defined in the source.
struct Label
{
    std::string name;
    /// The instruction address it names (the address after the last instruction for a label
    /// at the end). When the program has errors, it counts only the instructions that parsed.
    std::uint32_t address = 0;
    /// Where the name is written: 1-based line, 0-based byte column.
    int line = 0;
    int column = 0;
};

/// A symbol defined by ".DEF name value".
struct Symbol
{
    std::string name;
    /// The value text as written, without surrounding blanks.
    std::string value;
    /// Where the name is written: 1-based line, 0-based byte column.
    int line = 0;
    int column = 0;
};

/// The result of assembling one source: the words, or the report of every error.
/// A Program is a value: copy and move it freely; it refers to nothing outside itself.
class Program
{
public:
    Program() = default;

    /// True when the source assembled without errors.
    bool ok() const noexcept { return ok_; }
    explicit operator bool() const noexcept { return ok_; }

    /// The used instruction words, exactly what the command line's .hex file holds;
    /// empty when not ok.
    std::span<const std::uint64_t> words() const noexcept { return words_; }

    /// Every place of the error report, in report order; empty when ok.
    const std::vector<Diagnostic>& diagnostics() const noexcept { return diagnostics_; }
    /// The number of report entries (errors); the command line's exit status before it is
    /// capped at 255. 0 when ok.
    std::size_t errorCount() const noexcept { return errorCount_; }
    /// The full report exactly as the command line logs it, without the log line's prefix:
    /// "assembler finished successfully", or "assembler failed with N errors:" and every entry.
    /// A source that could not be read to its end gives the command line's one-line message.
    std::string report() const { return report_; }
    /// True when the source could not be read to its end (a line over the reader's limit, a read
    /// error); report() is then the one line the command line logs at level error, not info.
    bool aborted() const noexcept { return aborted_; }

    /// The source name given to assemble, or the path given to assembleFile.
    const std::string& name() const noexcept { return name_; }

    /// Labels and symbols in source order, first definitions only. They are filled as far as
    /// the source could be read, also when it has errors.
    std::span<const Label> labels() const noexcept { return labels_; }
    std::span<const Symbol> symbols() const noexcept { return symbols_; }
    /// The label or symbol of that name (case matters), or null; valid as long as the Program.
    const Label* findLabel(std::string_view name) const noexcept;
    const Symbol* findSymbol(std::string_view name) const noexcept;

    /// The 1-based source line of the instruction at this address; 0 for an address that no
    /// instruction has. Filled for every instruction that parsed, also when there are errors.
    int sourceLine(std::uint32_t address) const noexcept;
    /// The source line of every instruction, by address.
    std::span<const int> sourceLines() const noexcept { return sourceLines_; }

private:
    friend class ProgramBuilder;

    bool ok_ = false;
    bool aborted_ = false;
    std::size_t errorCount_ = 0;
    std::string name_;
    std::string report_;
    std::vector<std::uint64_t> words_;
    std::vector<Diagnostic> diagnostics_;
    std::vector<Label> labels_;
    std::vector<Symbol> symbols_;
    std::vector<int> sourceLines_;
};

/// Assembles tarn assembly text; name is the source name the report shows. Errors in the
/// source are not exceptions: they give a Program whose ok() is false. Any bytes are accepted
/// (NUL bytes and bytes above 127 are reported where the language does not allow them).
/// Throws std::bad_alloc when memory runs out and InternalError on an internal fault.
Program assemble(std::string_view source, std::string_view name = "<input>");

/// Assembles like assemble, for editors that show every error at once. Where assemble stops after
/// a failed address assignment (an undefined label, a label defined twice), check goes on to
/// encode every instruction whose operands do not depend on an undefined label and reports their
/// errors too. Without errors it gives exactly what assemble gives. Throws like assemble.
Program check(std::string_view source, std::string_view name = "<input>");

/// Reads and assembles a file; the report names it as path.string(). A file that cannot be
/// opened or read (missing, a directory, unreadable) gives a Program that is not ok, with the
/// command line's message for it. Throws like assemble.
Program assembleFile(const std::filesystem::path& path);

// ---- The instruction set ----

/// One operand of an instruction variant.
struct OperandInfo
{
    /// The operand kind's name, as error messages quote it ("alu_src_imm", "ins_adr_imm").
    std::string name;
    /// True for a register operand (written R0 to R63), false for an immediate.
    bool isRegister = false;
    /// The bits of the instruction word that hold it, msb down to lsb.
    int msb = 0;
    int lsb = 0;
    /// The values the operand accepts (the register number for a register).
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;

    /// An immediate that holds an instruction address: assembly text may write it as @label.
    bool isAddress() const noexcept { return name == "ins_adr_imm"; }
    /// The range includes negative values; such fields hold two's complement.
    bool isSigned() const noexcept { return minimum < 0; }
};

/// One variant of a mnemonic: its encoding and operand forms.
struct Variant
{
    std::string mnemonic;
    std::uint32_t opcode = 0;
    std::uint32_t select = 0;
    /// The operand forms as error messages show them: "R#" a register, "#" an immediate,
    /// joined by ","; "" for none.
    std::string signature;
    std::vector<OperandInfo> operands;
};

/// Every variant of the built-in instruction set, by opcode and then select. The span refers
/// to storage that lives as long as the process.
std::span<const Variant> instructionSet();

/// The variants of one mnemonic (case matters); empty for an unknown mnemonic.
std::span<const Variant> variantsOf(std::string_view mnemonic);

// ---- Disassembling ----

/// One instruction word taken apart.
struct DecodedWord
{
    std::uint64_t word = 0;
    std::uint32_t opcode = 0;
    std::uint32_t select = 0;
    /// The variant that opcode and select name; null when they name none.
    const Variant* variant = nullptr;
    /// The operand values as assembly text writes them: register numbers, and immediates
    /// sign-extended where the operand's range is signed. Empty without a variant.
    std::vector<std::int64_t> operands;
    /// Empty when assembling text() gives exactly this word again; otherwise why not: no
    /// variant, an operand outside its range, or bits set outside the variant's fields.
    std::string problem;

    bool ok() const noexcept { return problem.empty(); }
    /// "mnemonic op, op, ..." with registers as R<n> and immediates in decimal; "" when not ok.
    std::string text() const;
};

/// Takes one word apart; never throws for any word (except std::bad_alloc).
DecodedWord decode(std::uint64_t word);

/// A word that disassemble could not write as an instruction.
struct UnknownWord
{
    /// Its index in the words, the instruction address.
    std::size_t address = 0;
    DecodedWord decoded;
};

/// Thrown by disassemble when words are not instructions; lists every such word.
class DisassemblyError : public std::runtime_error
{
public:
    explicit DisassemblyError(std::vector<UnknownWord> unknown);
    const std::vector<UnknownWord>& unknownWords() const noexcept { return unknown_; }

private:
    std::vector<UnknownWord> unknown_;
};

/// Assembly text for the words, one instruction a line in address order ("jmp 3"), that
/// assemble turns back into exactly the same words. Address operands are written as numbers.
/// Words that are not instructions assemble could produce are not guessed at: the call throws
/// DisassemblyError naming every one of them (use decode to take such words apart).
std::string disassemble(std::span<const std::uint64_t> words);

// ---- The .hex format ----

/// Malformed .hex text. line is 1-based; column counts bytes from 0, like the report's.
/// what() reads "line L, column C: problem", after the file's path where a file was read.
class HexFormatError : public std::runtime_error
{
public:
    HexFormatError(const std::string& where, const std::string& problem, int line, int column);
    int line() const noexcept { return line_; }
    int column() const noexcept { return column_; }
    /// The problem alone, without the place.
    const std::string& problem() const noexcept { return problem_; }

private:
    std::string problem_;
    int line_;
    int column_;
};

/// Reads .hex text: one word a line, exactly 16 hexadecimal digits (either case), each line
/// ended by a line feed (a carriage return before it, and a missing line feed after the last
/// line, are accepted). Empty text is no words. Throws HexFormatError naming the line and
/// column for anything else: a blank line, another length, a character that is no hex digit,
/// more than kInstructionMemoryWords words.
std::vector<std::uint64_t> readHex(std::string_view text);

/// The .hex text: each word as 16 lower-case hexadecimal digits and a line feed.
std::string writeHex(std::span<const std::uint64_t> words);

/// Reads a .hex file; a HexFormatError's message names the file too. Throws
/// std::filesystem::filesystem_error, with the system's reason, when the file cannot be opened
/// or read, and (std::errc::invalid_argument) at once for what is not a regular file: a pipe
/// or a device is refused rather than waited on.
std::vector<std::uint64_t> loadHex(const std::filesystem::path& path);

/// Writes the .hex file the way the command line does: into a new file beside the target,
/// renamed over it only when complete, so that a failure leaves an existing file as it was.
/// Throws std::filesystem::filesystem_error when it cannot, with the system's reason (no such
/// directory, is a directory, no space left on device, file too large, ...).
void saveHex(const std::filesystem::path& path, std::span<const std::uint64_t> words);

// ---- Reading a line as the assembler does ----

/// What a piece of a source line is, as the assembler reads it.
enum class TokenKind
{
    label,           ///< a label definition's name (before its ':')
    mnemonic,        ///< an instruction's mnemonic, known or not
    directive,       ///< a directive word such as .DEF
    symbolName,      ///< the name a .DEF defines
    symbolValue,     ///< the value text of a .DEF
    registerName,    ///< R0 and the like
    number,          ///< an immediate written as a number
    labelReference,  ///< @name
    symbolReference, ///< $name
    comment,         ///< from '#' to the end of the line
    other,           ///< anything the assembler will not accept there
};

/// A piece of one line: its kind and its bytes [column, column + length).
struct Token
{
    TokenKind kind = TokenKind::other;
    int column = 0;
    int length = 0;
    /// For tokens inside an instruction's operands: the operand's index from 0; else -1.
    int operand = -1;
};

/// Cuts one line (without its line end) into tokens with the assembler's own character
/// classes, for editors: highlighting, completion, the word under a cursor. It classifies; it
/// does not check (assemble reports the errors). Never throws except std::bad_alloc.
std::vector<Token> scanLine(std::string_view line);

/// An operand's text as the assembler reads it.
struct OperandReading
{
    /// registerName, number, labelReference or symbolReference; other for text that is no operand.
    TokenKind kind = TokenKind::other;
    /// A register's number or a number's value; 0 for references and on error.
    std::int64_t value = 0;
    /// Empty when the text reads; otherwise the assembler's message and its kind.
    std::string error;
    DiagnosticKind errorKind = DiagnosticKind::other;

    bool ok() const noexcept { return error.empty(); }
};

/// Reads text (one operand, nothing around it) with the parser's own rules: its kind and value,
/// or why the parser refuses it. A symbol reference is checked, not looked up. Never throws
/// except std::bad_alloc.
OperandReading readOperand(std::string_view text);

/// Whether the assembler takes text as a label's or a symbol's name ("name:", "@name",
/// ".DEF name", "$name").
bool isName(std::string_view text);

// ---- The log ----

/// The levels of the assembler's log, most severe first.
enum class LogLevel : int
{
    quiet = -1000,
    emergency = 0,
    alert = 1,
    critical = 2,
    error = 3,
    warning = 4,
    notice = 5,
    info = 6,
    debug = 7,
    verbose = 8,
};

/// Receives one log line of a library call: its level and the line as the command line would
/// write it, without the line end. Called on the thread that made the call.
using LogHandler = std::function<void(LogLevel level, std::string_view line)>;

/// Sends the log of every later library call, up to the given level, to the handler. Without
/// a handler (the default, or an empty one) the library logs nothing.
void setLogHandler(LogHandler handler, LogLevel level = LogLevel::info);

} // namespace tarnasm
