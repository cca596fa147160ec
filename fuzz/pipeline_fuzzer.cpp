// Fuzz target: any bytes as a source through parse, addresses, encoding, output, disassembly and report.
#include "FuzzSupport.h"

#include "SeqAssembler.h"
#include "asmparser/AsmStatement.h"
#include "asmparser/AsmSyntax.h"
#include "seqprocessor/SeqProcessor.h"
#include "seqprocessor/TarnInstructionSet.h"
#include "source/AsmErrorList.h"
#include "source/SourceReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr unsigned int instructionWords = 16384;

struct Run
{
    std::vector<uint64_t> words;
    std::string hex;
    std::string report;
    std::string summary;

    bool operator==(const Run&) const = default;
};

/// One assembly of the text on a fresh error list, with the properties of a single run checked.
Run assembleOnce(SeqProcessor& processor, SeqAssembler& assembler, const std::shared_ptr<const std::string>& text)
{
    StringSourceReader reader(text, "fuzz.tasm");
    AsmErrorList errors;
    const int result = assembler.assemble(reader, errors);
    FUZZ_CHECK(result >= 0 && static_cast<size_t>(result) == errors.size());

    Run run;
    const unsigned int used = assembler.getUsedInstructionWords();
    FUZZ_CHECK(used <= instructionWords);
    for (unsigned int address = 0; address < instructionWords; ++address) {
        const uint64_t word = processor.readInstructionMem(address);
        if (address < used) {
            run.words.push_back(word);
        } else {
            FUZZ_CHECK(word == 0);  // nothing stored beyond the used part
        }
    }
    std::ostringstream hex;
    FUZZ_CHECK(assembler.printHexOutput(hex));
    run.hex = hex.str();
    FUZZ_CHECK(run.hex.length() == 17 * static_cast<size_t>(used));

    run.report = errors.toStringFullReport("assembler");
    run.summary = errors.toStringOneLineSummary("assembler");
    FUZZ_CHECK(run.summary.find('\n') == std::string::npos);
    FUZZ_CHECK(errors.empty() == (run.report == "assembler finished successfully"));

    if (errors.empty()) {
        size_t instructions = 0;
        for (const auto& statement : assembler.getParser().statements()) {
            instructions += statement->type() == AsmType::INSTRUCTION ? 1 : 0;
        }
        FUZZ_CHECK(instructions == used);
        std::ostringstream listing;
        FUZZ_CHECK(assembler.disassemble(listing) == 0);  // every used word is a known instruction
        for (unsigned int address = 0; address < used; ++address) {
            AsmInstruction instruction;
            FUZZ_CHECK(assembler.disassemble(run.words[address], address, instruction));
        }
    }
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Built once: the assembler must leave nothing behind that changes the next run.
    static SeqProcessor processor(seq_instr_set(), instructionWords, 64);
    static SeqAssembler assembler(&processor, AsmSyntax());

    const auto text = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    const Run first = assembleOnce(processor, assembler, text);
    const Run second = assembleOnce(processor, assembler, text);
    FUZZ_CHECK(first == second);
    return 0;
}
