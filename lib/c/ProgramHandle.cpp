// ProgramHandle: tarnasm_program, a tarnasm::Program behind the C interface, and its accessors.
#include "Boundary.h"

#include "support/Utf8Path.h"

#include <span>
#include <string>
#include <utility>

struct tarnasm_program
{
    explicit tarnasm_program(tarnasm::Program assembled) : program(std::move(assembled)), report(program.report()) {}

    tarnasm::Program program;
    // Program::report() makes a new string; the handle keeps the one it hands out.
    std::string report;
};

// The C enumeration mirrors the C++ one value for value; a kind added there must be added here.
static_assert(TARNASM_DIAGNOSTIC_OTHER == static_cast<int>(tarnasm::DiagnosticKind::other));
static_assert(TARNASM_DIAGNOSTIC_UNREADABLE_SOURCE == static_cast<int>(tarnasm::DiagnosticKind::unreadableSource));
static_assert(TARNASM_DIAGNOSTIC_SPURIOUS_CHARACTERS == static_cast<int>(tarnasm::DiagnosticKind::spuriousCharacters));
static_assert(TARNASM_DIAGNOSTIC_UNKNOWN_MNEMONIC == static_cast<int>(tarnasm::DiagnosticKind::unknownMnemonic));
static_assert(TARNASM_DIAGNOSTIC_UNSUPPORTED_OPERANDS == static_cast<int>(tarnasm::DiagnosticKind::unsupportedOperands));
static_assert(TARNASM_DIAGNOSTIC_OPERAND_OUT_OF_RANGE == static_cast<int>(tarnasm::DiagnosticKind::operandOutOfRange));
static_assert(TARNASM_DIAGNOSTIC_INVALID_OPERAND == static_cast<int>(tarnasm::DiagnosticKind::invalidOperand));
static_assert(TARNASM_DIAGNOSTIC_INVALID_NUMBER == static_cast<int>(tarnasm::DiagnosticKind::invalidNumber));
static_assert(TARNASM_DIAGNOSTIC_INVALID_SYMBOL_NAME == static_cast<int>(tarnasm::DiagnosticKind::invalidSymbolName));
static_assert(TARNASM_DIAGNOSTIC_INVALID_LABEL_REFERENCE == static_cast<int>(tarnasm::DiagnosticKind::invalidLabelReference));
static_assert(TARNASM_DIAGNOSTIC_UNDEFINED_LABEL == static_cast<int>(tarnasm::DiagnosticKind::undefinedLabel));
static_assert(TARNASM_DIAGNOSTIC_UNDEFINED_SYMBOL == static_cast<int>(tarnasm::DiagnosticKind::undefinedSymbol));
static_assert(TARNASM_DIAGNOSTIC_DUPLICATE_LABEL == static_cast<int>(tarnasm::DiagnosticKind::duplicateLabel));
static_assert(TARNASM_DIAGNOSTIC_DUPLICATE_SYMBOL == static_cast<int>(tarnasm::DiagnosticKind::duplicateSymbol));
static_assert(TARNASM_DIAGNOSTIC_DIRECTIVE_WITHOUT_NAME == static_cast<int>(tarnasm::DiagnosticKind::directiveWithoutName));
static_assert(TARNASM_DIAGNOSTIC_DIRECTIVE_WITHOUT_VALUE == static_cast<int>(tarnasm::DiagnosticKind::directiveWithoutValue));
static_assert(TARNASM_DIAGNOSTIC_UNKNOWN_DIRECTIVE == static_cast<int>(tarnasm::DiagnosticKind::unknownDirective));
static_assert(TARNASM_DIAGNOSTIC_PROGRAM_TOO_LONG == static_cast<int>(tarnasm::DiagnosticKind::programTooLong));

namespace {

using tarnasm::c::clearOut;
using tarnasm::c::fail;
using tarnasm::c::guard;
using tarnasm::c::nullArgument;

tarnasm_status notFound(const char* name)
{
    return fail(TARNASM_ERROR_NOT_FOUND, std::string("no such name: ") + name);
}

void fill(const tarnasm::Label& label, tarnasm_label* out)
{
    *out = {label.name.c_str(), label.address, label.line, label.column};
}

void fill(const tarnasm::Symbol& symbol, tarnasm_symbol* out)
{
    *out = {symbol.name.c_str(), symbol.value.c_str(), symbol.line, symbol.column};
}

void fill(const tarnasm::Diagnostic& d, tarnasm_diagnostic* out)
{
    *out = {d.file.c_str(), d.line, d.column, d.length, d.message.c_str(), d.sourceLine.c_str(), d.entry,
            static_cast<int>(d.kind)};
}

/// The item at index of the list that items gives, as its C struct; item names one for errors.
template <class Out, class Items>
tarnasm_status atIndex(const tarnasm_program* program, size_t index, Out* out, std::string_view item, Items items)
{
    clearOut(out);
    if (program == nullptr) {
        return nullArgument("program");
    }
    if (out == nullptr) {
        return nullArgument("out");
    }
    return guard([&] {
        const auto list = items(program->program);
        if (index >= list.size()) {
            return tarnasm::c::outOfRange("index", index, list.size(), item);
        }
        fill(list[index], out);
        return TARNASM_OK;
    });
}

/// The item that find gives for the name, as its C struct.
template <class Out, class Find>
tarnasm_status byName(const tarnasm_program* program, const char* name, Out* out, Find find)
{
    clearOut(out);
    if (program == nullptr || name == nullptr || out == nullptr) {
        return nullArgument(program == nullptr ? "program" : name == nullptr ? "name" : "out");
    }
    return guard([&] {
        const auto* item = find(program->program, name);
        if (item == nullptr) {
            return notFound(name);
        }
        fill(*item, out);
        return TARNASM_OK;
    });
}

/// A new handle in *program for what assemble gives.
template <class Assemble>
tarnasm_status make(tarnasm_program** program, Assemble&& assemble)
{
    return guard([&] {
        *program = new tarnasm_program(assemble());
        return TARNASM_OK;
    });
}

/// A new handle for source text, by tarnasm::assemble or tarnasm::check.
tarnasm_status fromText(const char* source, size_t length, const char* name, tarnasm_program** program,
                        tarnasm::Program (*assemble)(std::string_view, std::string_view))
{
    if (program == nullptr) {
        return nullArgument("program");
    }
    *program = nullptr;
    if (source == nullptr && length > 0) {
        return nullArgument("source");
    }
    return make(program, [&] {
        const std::string_view text = length == 0 ? std::string_view() : std::string_view(source, length);
        return assemble(text, name == nullptr ? "<input>" : name);
    });
}

} // namespace

extern "C" {

tarnasm_status tarnasm_assemble(const char* source, size_t length, const char* name, tarnasm_program** program)
{
    return fromText(source, length, name, program, tarnasm::assemble);
}

tarnasm_status tarnasm_check(const char* source, size_t length, const char* name, tarnasm_program** program)
{
    return fromText(source, length, name, program, tarnasm::check);
}

tarnasm_status tarnasm_assemble_file(const char* path, tarnasm_program** program)
{
    if (program == nullptr) {
        return nullArgument("program");
    }
    *program = nullptr;
    if (path == nullptr) {
        return nullArgument("path");
    }
    return make(program, [&] { return tarnasm::assembleFile(pathFromUtf8(path)); });
}

const char* tarnasm_diagnostic_code(int kind)
{
    // The codes are literals, so their data ends with a NUL byte.
    return tarnasm::diagnosticCode(static_cast<tarnasm::DiagnosticKind>(kind)).data();
}

void tarnasm_program_free(tarnasm_program* program)
{
    delete program;
}

int tarnasm_program_ok(const tarnasm_program* program)
{
    return program->program.ok() ? 1 : 0;
}

size_t tarnasm_program_error_count(const tarnasm_program* program)
{
    return program->program.errorCount();
}

int tarnasm_program_aborted(const tarnasm_program* program)
{
    return program->program.aborted() ? 1 : 0;
}

const uint64_t* tarnasm_program_words(const tarnasm_program* program, size_t* count)
{
    const auto words = program->program.words();
    if (count != nullptr) {
        *count = words.size();
    }
    return words.data();
}

const char* tarnasm_program_report(const tarnasm_program* program)
{
    return program->report.c_str();
}

const char* tarnasm_program_name(const tarnasm_program* program)
{
    return program->program.name().c_str();
}

int tarnasm_program_source_line(const tarnasm_program* program, uint32_t address)
{
    return program->program.sourceLine(address);
}

size_t tarnasm_program_diagnostic_count(const tarnasm_program* program)
{
    return program->program.diagnostics().size();
}

size_t tarnasm_program_label_count(const tarnasm_program* program)
{
    return program->program.labels().size();
}

size_t tarnasm_program_symbol_count(const tarnasm_program* program)
{
    return program->program.symbols().size();
}

tarnasm_status tarnasm_program_diagnostic(const tarnasm_program* program, size_t index, tarnasm_diagnostic* out)
{
    return atIndex(program, index, out, "diagnostic",
                   [](const tarnasm::Program& p) { return std::span(p.diagnostics()); });
}

tarnasm_status tarnasm_program_label(const tarnasm_program* program, size_t index, tarnasm_label* out)
{
    return atIndex(program, index, out, "label", [](const tarnasm::Program& p) { return p.labels(); });
}

tarnasm_status tarnasm_program_symbol(const tarnasm_program* program, size_t index, tarnasm_symbol* out)
{
    return atIndex(program, index, out, "symbol", [](const tarnasm::Program& p) { return p.symbols(); });
}

tarnasm_status tarnasm_program_find_label(const tarnasm_program* program, const char* name, tarnasm_label* out)
{
    return byName(program, name, out, [](const tarnasm::Program& p, const char* n) { return p.findLabel(n); });
}

tarnasm_status tarnasm_program_find_symbol(const tarnasm_program* program, const char* name, tarnasm_symbol* out)
{
    return byName(program, name, out, [](const tarnasm::Program& p, const char* n) { return p.findSymbol(n); });
}

} // extern "C"
