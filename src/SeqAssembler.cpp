// SeqAssembler: the passes (parse, addresses, encoding), disassembly and the .hex output.
#include "SeqAssembler.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>
#include <vector>
#include <utility>

#include "asmparser/AsmArgument.h"
#include "asmparser/AsmStatement.h"
#include "asmparser/AsmSyntax.h"
#include "asmparser/AsmToken.h"
#include "seqprocessor/SeqProcessor.h"
#include "source/AsmError.h"
#include "source/AsmErrorList.h"
#include "source/SourceReader.h"
#include "support/ChunkPool.h"
#include "support/Logging.h"
#include "support/ReplaceFile.h"
#include "support/StringUtil.h"
#include "support/ThrowBug.h"
#include "support/Utf8Path.h"

namespace {

bool liesIn(const AsmInstruction& instruction, const AsmToken& token)
{
    return instruction.sourceLine() && token.sourceLine() == instruction.sourceLine();
}

/// The token where it lies in the instruction's own line; a token from elsewhere (a symbol's value
/// lives on its .DEF line) is placed at the first occurrence of text in the line.
SourceErrorRef placeInLine(const AsmInstruction& instruction, const AsmToken& token, const std::string& text)
{
    if (liesIn(instruction, token)) {
        return token.errorRef();
    }
    return SourceErrorRef(instruction.sourceLine(), text);
}

AsmSyntaxError syntaxErrorAt(AsmErrorKind kind, const AsmInstruction& instruction, const AsmToken& token)
{
    return AsmSyntaxError(kind, placeInLine(instruction, token, token.toString()));
}

/// The text an argument was written as. The address assignment clears the string value of an
/// address label reference, so that one is found through its label, '@' included.
AsmToken argumentToken(const AsmArgument& argument)
{
    if (!argument.hasAddressRef()) {
        return argument.stringValue();
    }
    const AsmToken& label = argument.addressLabel();
    if (label.start() == 0) {
        return label;
    }
    return AsmToken(label.sourceLine(), label.start() - 1, static_cast<int>(label.length() + 1));
}

/// Where the argument with this index is written in the instruction's own line. An argument
/// taken from a symbol holds the symbol's value, which lies in the .DEF line; it is found here as
/// its '$name' reference by cutting the line's arguments again the way the parser does.
AsmToken writtenArgument(const AsmSyntax& syntax, const AsmInstruction& instruction, size_t index)
{
    const AsmToken token = argumentToken(*instruction.argList()[index]);
    if (liesIn(instruction, token) || !liesIn(instruction, instruction.command())) {
        return token;
    }
    AsmToken written = instruction.command().following();
    syntax.filter2Token(written, syntax.argumentChars);
    for (size_t i = 0; i < index; ++i) {
        written.next();
        if (written.empty() || written.front() != syntax.separatorChar) {
            return token;
        }
        written.popFront();
        syntax.filter2Token(written, syntax.argumentChars);
    }
    return written.empty() ? token : written;
}

std::string_view textOf(const AsmToken& token)
{
    return {token.data(), token.length()};
}

/// The instructions that define labels, by label text: one array of slots, probed in turn from
/// the name's hash, that doubles when half full. No allocation per label, and a small program
/// keeps its table small. The label texts are read in the instructions' own lines; each slot
/// keeps the hash too, so that a probe reads another label's line only when the hashes agree.
/// Kept for hostile input: with std::unordered_map a million label-only lines take 2 to 3 times
/// as long (2.3 times with the map reserved up front); the reference program gains nothing.
class LabelTable
{
public:
    /// Room for the expected number of labels without growing.
    explicit LabelTable(size_t expected) : slots_(std::bit_ceil(std::max(minimumSize, 2 * expected))) {}

    static size_t hashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

    /// The instruction defining name, or null.
    const AsmInstruction* find(std::string_view name) const
    {
        return slots_[slotOf(name, hashOf(name))].instruction;
    }

    /// The instruction already defining name (hash is hashOf(name)); otherwise enters this one
    /// and gives null.
    const AsmInstruction* insertIfNew(std::string_view name, size_t hash, const AsmInstruction* instruction)
    {
        if (2 * (count_ + 1) > slots_.size()) {
            grow();
        }
        Slot& slot = slots_[slotOf(name, hash)];
        if (slot.instruction != nullptr) {
            return slot.instruction;
        }
        slot = {instruction, hash};
        ++count_;
        return nullptr;
    }

private:
    struct Slot
    {
        const AsmInstruction* instruction = nullptr;
        size_t hash = 0;
    };

    size_t slotOf(std::string_view name, size_t hash) const
    {
        const size_t mask = slots_.size() - 1;
        size_t i = hash & mask;
        while (slots_[i].instruction != nullptr &&
               (slots_[i].hash != hash || textOf(slots_[i].instruction->addressLabel()) != name)) {
            i = (i + 1) & mask;
        }
        return i;
    }

    void grow()
    {
        Slots old(2 * slots_.size());
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const Slot& entry : old) {
            if (entry.instruction != nullptr) {
                size_t i = entry.hash & mask;
                while (slots_[i].instruction != nullptr) {
                    i = (i + 1) & mask;
                }
                slots_[i] = entry;
            }
        }
    }

    static constexpr size_t minimumSize = 64;
    // The pool's allocator backs a large table with huge pages: its probes go all over it.
    using Slots = std::vector<Slot, ChunkAllocator<Slot>>;
    Slots slots_;
    size_t count_ = 0;
};

std::string unparsedArgument(const AsmArgument& argument)
{
    std::ostringstream os;
    AsmParser::unparseArgument(os, argument);
    return os.str();
}

constexpr size_t hexLineLength = 17;

/// 16 lower-case hex digits and a line feed.
void writeHexLine(char* out, uint64_t word)
{
    static const char digits[] = "0123456789abcdef";
    for (int i = 15; i >= 0; --i) {
        out[i] = digits[word & 0xF];
        word >>= 4;
    }
    out[16] = '\n';
}

} // namespace

SeqAssembler::SeqAssembler(SeqProcessor* processor_, const AsmSyntax& syntax)
    : parser(syntax), processor(processor_)
{
    init();
}

SeqAssembler::~SeqAssembler() = default;

void SeqAssembler::init()
{
    usedInstructionWords = 0;
    assembleTimer = std::make_shared<SteadyStopWatch>("assemble", "instruction");
}

int SeqAssembler::assemble(SourceReader& reader, AsmErrorList& errors)
{
    if (!hasInstructionMemory(errors)) {
        return 1;
    }
    clearTimers();
    usedInstructionWords = 0;
    try {
        const int n = parser.parse(reader, errors);
        timers.add(parser.getTimers());
        if (n != 0) {
            if (Logging::getLogLevel() >= Logging::DEBUG) {
                Logging::write(Logging::DEBUG, "SeqAssembler::assemble: parsing failed with %d errors", n);
            }
        } else {
            if (Logging::getLogLevel() >= Logging::DEBUG) {
                Logging::write(Logging::DEBUG, "%s", "SeqAssembler::assemble: parsing succeeded");
            }
            asmSectionFinish(errors);
        }
        processor->initInstructionMem(usedInstructionWords, UINT32_MAX);
    } catch (const AsmError& e) {
        if (Logging::getLogLevel() >= Logging::DEBUG) {
            Logging::write(Logging::DEBUG, "SeqAssembler::assemble: caught AsmError ('%s')", e.what());
        }
        errors.insert(e.shared_ptr_copy());
    }
    return static_cast<int>(std::min<size_t>(errors.size(), INT_MAX));
}

bool SeqAssembler::hasInstructionMemory(AsmErrorList& errors) const
{
    if (processor->instructionMemSizeWords() != 0) {
        return true;
    }
    errors.emplace<AsmRuntimeError>("Can not assemble source: No instruction memory defined.");
    return false;
}

int SeqAssembler::assembleFile(const std::string& fileName, AsmErrorList& errors)
{
    FileSourceReader reader(fileName);
    return assemble(reader, errors);
}

void SeqAssembler::clearTimers()
{
    timers.clear();
    assembleTimer->reset();
}

void SeqAssembler::printTimers(const std::string& prefix) const
{
    std::ostringstream report;
    timers.print<std::chrono::microseconds, std::chrono::seconds>(report, 3);
    if (Logging::getLogLevel() != Logging::QUIET) {
        Logging::write(Logging::INFO, "%s\n%s", prefix.c_str(), report.str().c_str());
    }
}

void SeqAssembler::printCPU_info()
{
    std::cout << "CPU info:"
              << "\n\tSize of int           : " << sizeof(int) * 8 << " bits"
              << "\n\tSize of long int      : " << sizeof(long) * 8 << " bits"
              << "\n\tSize of long long int : " << sizeof(long long) * 8 << " bits"
              << "\n\tSize of instruction_t : " << sizeof(instruction_t) * 8 << " bits"
              << "\n\tSize of Arg::value_t  : " << sizeof(std::declval<const AsmArgument&>().intValue()) * 8
              << " bits" << std::endl;
}

std::string SeqAssembler::asmSectionGetDirective()
{
    return ".CODE";
}

int SeqAssembler::asmSectionStart(AsmErrorList& errors)
{
    if (!hasInstructionMemory(errors)) {
        return 1;
    }
    parser.start();
    clearTimers();
    usedInstructionWords = 0;
    return 0;
}

bool SeqAssembler::asmSectionProcessLine(std::shared_ptr<const SourceLine> line, AsmErrorList& errors)
{
    parser.processLine(line, errors);
    return false;
}

void SeqAssembler::asmSectionFinish(AsmErrorList& errors)
{
    parser.finish(errors);
    if (!errors.empty()) {
        if (Logging::getLogLevel() >= Logging::WARNING) {
            Logging::write(Logging::WARNING, "%s", "SeqAssembler::assembleFinish: parsing failed");
        }
        return;
    }
    timers.add(assembleTimer);
    assembleTimer->start();
    assignInstructionAddresses(errors, 0);
    const bool addressesFailed = !errors.empty();
    if (addressesFailed) {
        if (Logging::getLogLevel() >= Logging::WARNING) {
            Logging::write(Logging::WARNING, "%s", "SeqAssembler::assemble: assignInstructionAddresses failed");
        }
        if (!encodeDespiteAddressErrors) {
            return;
        }
    }
    for (const auto& statement : parser.statements()) {
        if (statement->type() != AsmType::INSTRUCTION) {
            continue;
        }
        const auto* instruction = statementCast<const AsmInstruction>(statement.get());
        if (instruction == nullptr) {
            THROW_BUG("asmSectionFinish",
                      "AsmStatement of AsmType::INSTRUCTION is not an instance of the AsmInstruction class");
        }
        // An unresolved reference is left without a value; its error is in the list already.
        if (addressesFailed && std::any_of(instruction->argList().begin(), instruction->argList().end(),
                                           [](const auto& argument) {
                                               return argument->hasAddressRef() && !argument->hasIntValue();
                                           })) {
            continue;
        }
        try {
            const instruction_t word = assembleInstruction(*instruction);
            writeInstructionMem(instruction->address(), word);
        } catch (const SeqProcMemoryError& e) {
            if (Logging::getLogLevel() >= Logging::DEBUG) {
                Logging::write(Logging::DEBUG, "SeqAssembler::assemble:loop: caught SeqProcMemoryError ('%s')",
                               e.what());
            }
            errors.emplace<AsmProgramTooLongError>(stringCat("Program too long (", programSize, "). Maximum ",
                                                             processor->instructionMemSizeWords(),
                                                             " instructions"));
            break;
        } catch (const AsmError& e) {
            if (Logging::getLogLevel() >= Logging::DEBUG) {
                Logging::write(Logging::DEBUG, "SeqAssembler::assemble:loop: caught AsmError ('%s')", e.what());
            }
            errors.insert(e.shared_ptr_copy());
        }
    }
    assembleTimer->stop();
    assembleTimer->setLapCount(usedInstructionWords);
}

void SeqAssembler::assignInstructionAddresses(AsmErrorList& errors, address_t startAddress)
{
    // The trace lines are written at level debug, but only when verbose output was asked for.
    const bool trace = Logging::getLogLevel() >= Logging::VERBOSE;
    if (trace) {
        Logging::write(Logging::DEBUG, "%s", "assigning instruction addresses");
    }
    // Keys view the label texts in their lines, which the statements keep alive for this call.
    LabelTable labels(parser.labelCount());
    struct Reference
    {
        const AsmInstruction* instruction;
        size_t index;
    };
    std::vector<Reference> references;
    // First pass: every statement gets its address, every label its first definition, and the
    // references are noted. Old addresses and label values are replaced as each statement is visited.
    programSize = 0;
    address_t address = startAddress;
    for (const auto& statement : parser.statements()) {
        if (auto* instruction = statementCast<AsmInstruction>(statement.get())) {
            // A label-only statement takes the address of the instruction after it.
            instruction->setAddress(address);
            if (instruction->hasAddressLabel()) {
                const std::string_view name = textOf(instruction->addressLabel());
                if (const AsmInstruction* first = labels.insertIfNew(name, LabelTable::hashOf(name), instruction)) {
                    AsmDuplicateAddressLabelError error(
                        {first->addressLabel().errorRef(), instruction->addressLabel().errorRef()}, std::string(name));
                    errors.insert(error.shared_ptr_copy());
                } else if (trace) {
                    Logging::write(Logging::DEBUG, "assigning address 0x%lx to new label '%s'",
                                   static_cast<unsigned long>(address), std::string(name).c_str());
                }
            }
            const auto& arguments = instruction->argList();
            for (size_t index = 0; index < arguments.size(); ++index) {
                if (arguments[index]->hasAddressRef()) {
                    arguments[index]->clearValue();
                    references.push_back({instruction, index});
                }
            }
        }
        if (statement->type() != AsmType::LABEL_ONLY) {
            ++address;
            ++programSize;
        }
    }
    // Second pass: every label is known, so each reference gets its label's address.
    for (const Reference& reference : references) {
        const AsmInstruction& instruction = *reference.instruction;
        AsmArgument& argument = *instruction.argList()[reference.index];
        const std::string_view name = textOf(argument.addressLabel());
        const AsmInstruction* found = labels.find(name);
        if (found == nullptr) {
            // A reference taken from a symbol is marked where the symbol is used.
            const AsmToken written = liesIn(instruction, argument.addressLabel())
                                         ? argument.addressLabel()
                                         : writtenArgument(parser.syntax(), instruction, reference.index);
            const std::string text(name);
            errors.emplace<AsmUnresolvedAddressLabelError>(placeInLine(instruction, written, text), text);
            continue;
        }
        argument.setIntValue(static_cast<int64_t>(found->address()));
        if (trace) {
            Logging::write(Logging::DEBUG, "resolving address label '%s' reference to address 0x%lx",
                           std::string(name).c_str(), static_cast<unsigned long>(found->address()));
        }
    }
    if (trace) {
        Logging::write(Logging::DEBUG, "%s", "finished assigning instruction addresses");
    }
}

void SeqAssembler::clearInstructionAddresses()
{
    programSize = 0;
    for (const auto& statement : parser.statements()) {
        if (auto* instruction = statementCast<AsmInstruction>(statement.get())) {
            instruction->clearAllAddresses();
        }
    }
}

SeqAssembler::instruction_t SeqAssembler::assembleInstruction(const AsmInstruction& instruction) const
{
    // Run for every instruction: on the way to a word nothing is allocated, no shared count
    // changes and the log level is not read; the mnemonic is looked up as the command's own text.
    const AsmToken& command = instruction.command();
    const std::string_view name = textOf(command);
    const SeqInstructionVariations* variations = processor->instructionSet().lookup(name);
    if (variations == nullptr) {
        const std::string text = stringCat("instruction '", std::string(name), "' not found");
        if (Logging::getLogLevel() >= Logging::DEBUG) {
            Logging::write(Logging::DEBUG, "%s", text.c_str());
        }
        throw syntaxErrorAt(AsmErrorKind::unknownMnemonic, instruction, command) << text;
    }

    const auto& arguments = instruction.argList();
    SeqInstructionDef::Signature signature;
    unsigned int argumentNr = 0;
    for (const auto& argument : arguments) {
        ++argumentNr;
        if (argument->isImmediate()) {
            signature.addImmediateArg();
        } else if (argument->isRegister()) {
            signature.addRegisterArg(argument->registerName());
        } else {
            const char registerName = argument->registerName();
            const unsigned char code = static_cast<unsigned char>(registerName);
            const std::string unparsed = unparsedArgument(*argument);
            // A NUL here would cut the log line that carries the message short.
            const std::string text =
                stringCat("Could not determine signature type for argument number ", argumentNr,
                          ": registerName=", std::isprint(code) ? registerName : '?', " (ASCII=",
                          static_cast<unsigned int>(code), ")", " argument string value='", unparsed, "'");
            if (Logging::getLogLevel() >= Logging::DEBUG) {
                Logging::write(Logging::DEBUG, "%s", text.c_str());
            }
            throw AsmSyntaxError(AsmErrorKind::invalidOperand, instruction.sourceLine(), unparsed) << text;
        }
    }

    if (const SeqInstructionDef* definition = variations->lookup(std::string_view(signature))) {
        instruction_t word = 0;
        processor->instructionSet().writeBaseFields(word, *definition);
        const auto& kinds = definition->arguments();
        for (size_t i = 0; i < kinds.size() && i < arguments.size(); ++i) {
            const AsmArgument& argument = *arguments[i];
            if (!argument.hasIntValue()) {
                THROW_BUG("assembleInstruction", "No value determined for argument " << (i + 1) << ": '"
                                                     << argument.stringValue().toString() << "'");
            }
            const SeqArgument& kind = *kinds[i];
            if (!kind.setValue(word, argument.intValue())) {
                const std::string text = "Instruction " + definition->mnemonic() + " argument " +
                                         std::to_string(i + 1) + " (" + kind.name() +
                                         ") value: " + std::to_string(argument.intValue()) + " out of range (" +
                                         std::to_string(kind.minValue()) + "," +
                                         std::to_string(kind.maxValue()) + ")";
                if (Logging::getLogLevel() >= Logging::DEBUG) {
                    Logging::write(Logging::DEBUG, "%s", text.c_str());
                }
                throw syntaxErrorAt(AsmErrorKind::operandOutOfRange, instruction,
                                    writtenArgument(parser.syntax(), instruction, i))
                    << text;
            }
        }
        return word;
    }

    // No variant takes these argument kinds: point right after the mnemonic, at the only
    // argument, or from the first argument to the end of the line.
    const std::string source = instruction.sourceString();
    size_t start = 0;
    size_t length = 1;
    if (arguments.empty()) {
        start = liesIn(instruction, command) ? command.start() : source.find(name);
        if (start != std::string::npos) {
            start += command.length();
        }
    } else {
        const AsmToken token = writtenArgument(parser.syntax(), instruction, 0);
        if (liesIn(instruction, token)) {
            start = token.start();
            length = token.length();
        } else {
            const std::string unparsed = unparsedArgument(*arguments.front());
            start = source.find(unparsed);
            length = unparsed.length();
        }
        if (arguments.size() > 1 && start < source.length()) {
            length = source.length() - start;
        }
    }
    std::string text = stringCat("Instruction \"", std::string(name), "\" does not support argument signature \"",
                                 static_cast<const std::string&>(signature), "\"\nSupported signatures:");
    for (const auto& variant : *variations) {
        text += " \"" + variant.signature() + "\"";
    }
    if (Logging::getLogLevel() >= Logging::DEBUG) {
        Logging::write(Logging::DEBUG, "%s: start=%d, len=%d", text.c_str(), static_cast<int>(start),
                       static_cast<int>(length));
    }
    throw AsmSyntaxError(AsmErrorKind::unsupportedOperands, instruction.sourceLine(), start, length) << text;
}

void SeqAssembler::writeInstructionMem(address_t address, instruction_t word)
{
    if (address > usedInstructionWords) {
        processor->initInstructionMem(usedInstructionWords, address);
    }
    processor->writeInstructionMem(address, word);
    usedInstructionWords = std::max(address + 1, usedInstructionWords);
}

bool SeqAssembler::disassemble(instruction_t word, address_t address, AsmInstruction& instruction) const
{
    instruction.setAddress(address);
    const auto definition = processor->findInstructionForBinary(word);
    if (!definition) {
        const uint64_t opcode = processor->getInstructionOpcode(word);
        const auto variations = processor->instructionSet().find(static_cast<uint32_t>(opcode));
        if (variations) {
            instruction.setCommand(variations->mnemonic() + "_UNKNOWN_select_" +
                                   std::to_string(processor->getInstructionSelect(word)));
        } else {
            instruction.setCommand("UNKNOWN_opcode_" + std::to_string(opcode));
        }
        return false;
    }
    instruction.setCommand(definition->mnemonic());
    for (const auto& kind : definition->arguments()) {
        auto argument = std::make_shared<AsmArgument>(static_cast<int64_t>(kind->getValue(word)));
        if (kind->isRegister()) {
            argument->setRegisterName(kind->registerName()[0]);
        } else {
            // Marked as immediate so that the instruction can be encoded again.
            argument->setImmediate();
        }
        instruction.addArg(std::move(argument));
    }
    return true;
}

bool SeqAssembler::disassemble(instruction_t word, address_t address, std::ostream& os)
{
    AsmInstruction instruction;
    const bool known = disassemble(word, address, instruction);
    int column = 0;
    parser.unparseInstruction(os, instruction, column);
    return known;
}

int SeqAssembler::disassemble(std::ostream& os)
{
    int unknown = 0;
    for (address_t address = 0; address < usedInstructionWords; ++address) {
        if (!disassemble(processor->readInstructionMem(address), address, os)) {
            ++unknown;
        }
        os << std::endl;
    }
    return unknown;
}

int SeqAssembler::saveDisassemble(const std::string& fileName)
{
    std::ofstream file(pathFromUtf8(fileName), std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file) {
        std::cerr << "Could not open file \"" << fileName << "\" for writing" << std::endl;
        return -1;
    }
    const int unknown = disassemble(file);
    file.close();
    return unknown;
}

bool SeqAssembler::printHexOutput(std::ostream& os) const
{
    if (processor->instructionMemSizeWords() == 0) {
        std::cerr << "ERROR: No instruction memory available." << std::endl;
        return false;
    }
    // Written in pieces through one small buffer: the whole text would be fresh memory to touch.
    char buffer[256 * hexLineLength];
    size_t used = 0;
    for (address_t address = 0; address < usedInstructionWords; ++address) {
        if (used == sizeof buffer) {
            os.write(buffer, static_cast<std::streamsize>(used));
            used = 0;
        }
        writeHexLine(buffer + used, processor->readInstructionMem(address));
        used += hexLineLength;
    }
    os.write(buffer, static_cast<std::streamsize>(used));
    return static_cast<bool>(os);
}

bool SeqAssembler::saveHexOutput(const std::string& fileName) const
{
    const ReplaceFileResult result =
        replaceFile(pathFromUtf8(fileName), [this](std::ostream& file) { return printHexOutput(file); });
    if (result == ReplaceFileResult::cannotOpen) {
        std::cerr << "ERROR: could not open file " << fileName << " for writing" << std::endl;
    } else if (result == ReplaceFileResult::cannotWrite && processor->instructionMemSizeWords() != 0) {
        std::cerr << "ERROR: could not write file " << fileName << std::endl;
    }
    return result == ReplaceFileResult::done;
}
