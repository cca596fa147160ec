// ProgramBuilder: assemble, assembleFile and the Program they return.
#include "ProgramBuilder.h"

#include "CoreCall.h"
#include "DiagnosticKind.h"
#include "InstructionSetTable.h"
#include "SeqAssembler.h"
#include "asmparser/AsmStatement.h"
#include "asmparser/AsmSyntax.h"
#include "seqprocessor/SeqProcessor.h"
#include "source/AsmErrorList.h"
#include "source/SourceReader.h"
#include "support/StringUtil.h"
#include "support/ThreadOwned.h"
#include "support/Utf8Path.h"

#include <algorithm>
#include <climits>
#include <new>
#include <unordered_set>

namespace tarnasm {

namespace {

constexpr unsigned int dataMemoryWords = 64;

int clampedInt(size_t value)
{
    return value > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

/// NUL bytes read as '?', as the report shows them.
std::string printable(std::string text)
{
    std::replace(text.begin(), text.end(), '\0', '?');
    return text;
}

} // namespace

Program ProgramBuilder::build(SourceReader& reader, std::string name, bool everyError)
{
    return detail::guarded([&] {
        Program program;
        program.name_ = std::move(name);
        // Each thread keeps one processor: building it copies the instruction set and clears
        // 128 KiB of memory, half the time of a small program. The assembler leaves the words
        // beyond the program cleared, so the next call starts from a clean memory again.
        SeqProcessor& processor = threadOwned<SeqProcessor>([] {
            return SeqProcessor(detail::builtinInstructionSet(), kInstructionMemoryWords, dataMemoryWords);
        });
        static const AsmSyntax syntax;
        SeqAssembler assembler(&processor, syntax);
        assembler.setEncodeDespiteAddressErrors(everyError);
        AsmErrorList errors;
        int result = 0;
        try {
            result = assembler.assemble(reader, errors);
        } catch (const InternalFault&) {
            throw;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            takeAbort(program, e.what());
            return program;
        }
        takeNames(program, assembler.getParser());
        if (result == 0) {
            program.ok_ = true;
            program.words_.resize(assembler.getUsedInstructionWords());
            for (unsigned int address = 0; address < program.words_.size(); ++address) {
                program.words_[address] = processor.readInstructionMem(address);
            }
        }
        program.errorCount_ = errors.size();
        program.report_ = errors.toStringFullReport("assembler");
        takeDiagnostics(program, errors);
        return program;
    });
}

void ProgramBuilder::takeDiagnostics(Program& program, const AsmErrorList& errors)
{
    int entry = 0;
    for (const auto& error : errors.errors()) {
        const auto* sourceError = dynamic_cast<const AsmSourceError*>(error.get());
        const DiagnosticKind kind = detail::kindOf(*error);
        bool placed = false;
        if (sourceError != nullptr) {
            const std::string message = printable(sourceError->errorMessage());
            for (const SourceErrorRef& ref : sourceError->references()) {
                if (!ref.hasSource()) {
                    continue;
                }
                const auto& line = *ref.sourceLine();
                Diagnostic& d = program.diagnostics_.emplace_back();
                d.file = line.sourceName() ? *line.sourceName() : std::string();
                d.line = line.lineNr();
                if (ref.start() != std::string::npos) {
                    d.column = clampedInt(ref.start());
                    d.length = clampedInt(ref.length());
                }
                d.message = message;
                d.sourceLine = line.toString();
                d.entry = entry;
                d.kind = kind;
                placed = true;
            }
        }
        if (!placed) {
            Diagnostic& d = program.diagnostics_.emplace_back();
            d.file = program.name_;
            d.message = error->what();
            d.entry = entry;
            d.kind = kind;
        }
        ++entry;
    }
}

void ProgramBuilder::takeNames(Program& program, const AsmParser& parser)
{
    std::unordered_set<std::string_view> seen;
    std::uint32_t address = 0;
    for (const auto& statement : parser.statements()) {
        const auto* instruction = statementCast<const AsmInstruction>(statement.get());
        if (instruction == nullptr) {
            continue;
        }
        if (instruction->hasAddressLabel()) {
            const AsmToken& token = instruction->addressLabel();
            std::string name = token.toString();
            if (!seen.contains(std::string_view(token.data(), token.length()))) {
                seen.emplace(token.data(), token.length());
                program.labels_.push_back(
                    {std::move(name), address, token.sourceLine()->lineNr(), clampedInt(token.start())});
            }
        }
        if (statement->type() != AsmType::LABEL_ONLY) {
            program.sourceLines_.push_back(instruction->sourceLine() ? instruction->sourceLine()->lineNr() : 0);
            ++address;
        }
    }
    for (const auto& [key, symbol] : parser.symbols()) {
        program.symbols_.push_back(
            {key, symbol.value.toString(), symbol.lineNr, clampedInt(symbol.name.start())});
    }
    std::sort(program.symbols_.begin(), program.symbols_.end(),
              [](const Symbol& a, const Symbol& b) { return a.line < b.line; });
}

void ProgramBuilder::takeAbort(Program& program, const std::string& cause)
{
    std::string text = "Assembly of '" + program.name_ + "' aborted: " + cause;
    replaceAll(text, "\n", "\\n");
    program.report_ = text;
    program.aborted_ = true;
    program.errorCount_ = 1;
    Diagnostic& d = program.diagnostics_.emplace_back();
    d.file = program.name_;
    d.message = cause;
    d.kind = DiagnosticKind::unreadableSource;
}

const Label* Program::findLabel(std::string_view name) const noexcept
{
    const auto it = std::find_if(labels_.begin(), labels_.end(), [&](const Label& l) { return l.name == name; });
    return it != labels_.end() ? &*it : nullptr;
}

const Symbol* Program::findSymbol(std::string_view name) const noexcept
{
    const auto it = std::find_if(symbols_.begin(), symbols_.end(), [&](const Symbol& s) { return s.name == name; });
    return it != symbols_.end() ? &*it : nullptr;
}

int Program::sourceLine(std::uint32_t address) const noexcept
{
    return address < sourceLines_.size() ? sourceLines_[address] : 0;
}

Program assemble(std::string_view source, std::string_view name)
{
    // The string reader splits lines as the command line's file reader does (a CR LF pair is one
    // line end, a NUL byte is text); the character-array reader would do neither.
    StringSourceReader reader(std::make_shared<const std::string>(source), std::string(name));
    return ProgramBuilder::build(reader, std::string(name));
}

Program check(std::string_view source, std::string_view name)
{
    StringSourceReader reader(std::make_shared<const std::string>(source), std::string(name));
    return ProgramBuilder::build(reader, std::string(name), true);
}

Program assembleFile(const std::filesystem::path& path)
{
    const std::string name = utf8FromPath(path);
    FileSourceReader reader(name);
    return ProgramBuilder::build(reader, name);
}

std::string_view version() noexcept
{
    return TARNASM_VERSION;
}

} // namespace tarnasm
