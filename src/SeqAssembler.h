// SeqAssembler: assembles tarn source into the instruction memory of a SeqProcessor and writes it out.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "AsmSection.h"
#include "asmparser/AsmParser.h"
#include "support/StopWatch.h"

class AsmArgument;
class AsmInstruction;
class AsmSyntax;
class AsmToken;
class SeqProcessor;
class SourceReader;

class SeqAssembler : public AsmSection
{
public:
    using instruction_t = unsigned long long;
    using address_t = unsigned int;

    /// The processor is not owned and must outlive the assembler.
    SeqAssembler(SeqProcessor* processor, const AsmSyntax& syntax);
    ~SeqAssembler() override;

    void init();

    /// Parses, assigns addresses and encodes one source into the caller's list.
    /// Returns the number of entries in the list, those already there included.
    int assemble(SourceReader& reader, AsmErrorList& errors);
    int assembleFile(const std::string& fileName, AsmErrorList& errors);

    /// When set, a failed address assignment no longer ends the run: every instruction whose
    /// operands do not depend on an unresolved label is still encoded, and its errors reported.
    /// For editors, which show every error at once; the command line keeps its shorter report.
    void setEncodeDespiteAddressErrors(bool on) { encodeDespiteAddressErrors = on; }

    void clearTimers();
    const SteadyStopWatchSet& getTimers() const { return timers; }
    /// Logs the stopwatch report at level info.
    void printTimers(const std::string& prefix) const;
    /// The widths of the word types, on standard output.
    static void printCPU_info();

    std::string asmSectionGetDirective() override;
    int asmSectionStart(AsmErrorList& errors) override;
    /// Always false: the section ends only when the host stops feeding lines.
    bool asmSectionProcessLine(std::shared_ptr<const SourceLine> line, AsmErrorList& errors) override;
    void asmSectionFinish(AsmErrorList& errors) override;

    /// Gives every statement its address and resolves address label references.
    void assignInstructionAddresses(AsmErrorList& errors, address_t startAddress);
    void clearInstructionAddresses();

    /// Throws AsmSyntaxError for every problem the source can cause.
    instruction_t assembleInstruction(const AsmInstruction& instruction) const;
    /// Stores one word; words skipped since the last store become 0.
    void writeInstructionMem(address_t address, instruction_t word);

    /// True when the word is a known instruction; unknown words get an "UNKNOWN" command.
    bool disassemble(instruction_t word, address_t address, AsmInstruction& instruction) const;
    bool disassemble(instruction_t word, address_t address, std::ostream& os);
    /// The whole used program, one instruction a line; returns the number of unknown words.
    int disassemble(std::ostream& os);
    /// -1 when the file cannot be opened.
    int saveDisassemble(const std::string& fileName);

    /// The used words in 16 lower-case hex digits a line; false without instruction memory
    /// or when the stream fails.
    bool printHexOutput(std::ostream& os) const;
    /// Writes a temporary file beside the target and renames it over the target only when
    /// complete, so a failure leaves an existing file as it was.
    bool saveHexOutput(const std::string& fileName) const;

    const AsmParser& getParser() const { return parser; }
    address_t getUsedInstructionWords() const { return usedInstructionWords; }
    address_t getProgramSize() const { return programSize; }

private:
    /// False, with an entry in the list, for a processor without instruction memory.
    bool hasInstructionMemory(AsmErrorList& errors) const;

    AsmParser parser;
    SeqProcessor* processor;
    address_t usedInstructionWords = 0;
    std::shared_ptr<SteadyStopWatch> assembleTimer;
    SteadyStopWatchSet timers;
    address_t programSize = 0;
    bool encodeDespiteAddressErrors = false;
};
