// CoreModule: the extension module tarnasm._core, the public library bound for the package tarnasm.
//
// The package's own classes (exceptions, named tuples) are written in Python; this module makes
// them from the library's results. It checks every argument itself, with messages in Python's
// own words, so that a wrong argument raises a Python exception and never reaches the library.
#include <tarnasm/tarnasm.h>

#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace {

using Words = std::vector<std::uint64_t>;

/// Text from the library as str; bytes of a source that were not UTF-8 read as U+FFFD, so that
/// a report can always be printed.
py::str text(std::string_view bytes)
{
    PyObject* object = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "replace");
    if (object == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(object);
}

std::string typeName(py::handle object)
{
    return Py_TYPE(object.ptr())->tp_name;
}

/// A class of the package tarnasm, which is always imported before its _core is called.
py::object packageClass(const char* name)
{
    return py::module_::import("tarnasm").attr(name);
}

[[noreturn]] void raise(py::object type, py::object error)
{
    PyErr_SetObject(type.ptr(), error.ptr());
    throw py::error_already_set();
}

/// A path argument as os.fspath takes it: str (encoded as the file system does), bytes or any
/// os.PathLike; anything else is os.fspath's own TypeError. A NUL byte would cut the path short
/// where the system call reads it, and so name another file: it is refused, as open() does.
std::filesystem::path fsPath(py::handle path)
{
    py::object fspath = py::reinterpret_steal<py::object>(PyOS_FSPath(path.ptr()));
    if (!fspath) {
        throw py::error_already_set();
    }
    if (PyUnicode_Check(fspath.ptr())) {
        fspath = py::reinterpret_steal<py::object>(PyUnicode_EncodeFSDefault(fspath.ptr()));
        if (!fspath) {
            throw py::error_already_set();
        }
    }
    const std::string bytes(PyBytes_AS_STRING(fspath.ptr()), static_cast<size_t>(PyBytes_GET_SIZE(fspath.ptr())));
    if (bytes.find('\0') != std::string::npos) {
        throw py::value_error("embedded null byte");
    }
    return std::filesystem::path(bytes);
}

/// The OSError subclass Python would raise for the same failure. The library names one error
/// code for every way a file cannot be opened, so the cause is looked up again here.
[[noreturn]] void raiseOsError(const std::filesystem::filesystem_error& e, bool writing)
{
    namespace fs = std::filesystem;
    int code = e.code().value();
    std::error_code ec;
    const fs::path& path = e.path1();
    if (fs::is_directory(path, ec)) {
        code = EISDIR;
    } else if (writing) {
        const fs::path parent = path.parent_path().empty() ? fs::path(".") : path.parent_path();
        if (!fs::exists(parent, ec)) {
            code = ENOENT;
        } else if (!fs::is_directory(parent, ec)) {
            code = ENOTDIR;
        }
    }
    py::object error = py::reinterpret_borrow<py::object>(PyExc_OSError)(
        code, std::error_code(code, std::generic_category()).message(), py::str(path.string()));
    raise(py::type::of(error), error);
}

/// A str's UTF-8 bytes; a lone surrogate raises UnicodeEncodeError, as str.encode() does.
std::string_view utf8(py::handle text)
{
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
    if (data == nullptr) {
        throw py::error_already_set();
    }
    return {data, static_cast<size_t>(size)};
}

/// The bytes of a source. str is read as UTF-8 and bytes as they are, both in place: they
/// cannot change while the GIL is released. A bytearray can, so it is copied.
std::string_view sourceBytes(py::handle source, std::string& copy)
{
    if (PyUnicode_Check(source.ptr())) {
        return utf8(source);
    }
    if (PyBytes_Check(source.ptr())) {
        return {PyBytes_AS_STRING(source.ptr()), static_cast<size_t>(PyBytes_GET_SIZE(source.ptr()))};
    }
    if (PyByteArray_Check(source.ptr())) {
        copy.assign(PyByteArray_AS_STRING(source.ptr()), static_cast<size_t>(PyByteArray_GET_SIZE(source.ptr())));
        return copy;
    }
    throw py::type_error("source must be str or bytes, not " + typeName(source));
}

/// A buffer of words: one dimension of unsigned 64-bit integers in native byte order.
Words wordsFromBuffer(py::handle words)
{
    const py::buffer_info info = py::reinterpret_borrow<py::buffer>(words).request();
    std::string format = info.format;
    if (!format.empty() && (format[0] == '@' || format[0] == '=' || format[0] == '<')) {
        format.erase(0, 1);
    }
    if ((format != "Q" && format != "L") || info.itemsize != sizeof(std::uint64_t)) {
        std::string held = "format '" + info.format + "'";
        if (py::hasattr(words, "dtype")) {
            held = py::str(words.attr("dtype"));
        }
        throw py::type_error("words must be unsigned 64-bit integers (numpy.uint64), not " + held);
    }
    if (info.ndim != 1) {
        throw py::value_error("words must be a one-dimensional array, not " + std::to_string(info.ndim) +
                              "-dimensional");
    }
    Words result(static_cast<size_t>(info.shape[0]));
    const char* item = static_cast<const char*>(info.ptr);
    for (auto& word : result) {
        std::memcpy(&word, item, sizeof word);
        item += info.strides[0];
    }
    return result;
}

constexpr size_t kNotAnItem = static_cast<size_t>(-1);

/// One word: an int (or an integer type such as numpy's, but no float) from 0 to 2**64-1. A
/// message names it as words[index], or as word when it is not an item of words.
std::uint64_t wordFrom(py::handle item, size_t index)
{
    const auto what = [index] {
        return index == kNotAnItem ? std::string("word") : "words[" + std::to_string(index) + "]";
    };
    if (PyIndex_Check(item.ptr()) == 0) {
        throw py::type_error(what() + " must be an int, not " + typeName(item));
    }
    const auto value = py::reinterpret_steal<py::object>(PyNumber_Index(item.ptr()));
    if (!value) {
        throw py::error_already_set();
    }
    const unsigned long long word = PyLong_AsUnsignedLongLong(value.ptr());
    if (word == static_cast<unsigned long long>(-1) && PyErr_Occurred() != nullptr) {
        PyErr_Clear();
        throw py::value_error(what() + " is " + std::string(py::str(value)) +
                              "; a word is an integer from 0 to 2**64-1");
    }
    return word;
}

/// Words from a uint64 buffer (a numpy array, a Program) or any iterable of integers; every
/// item must be an int (or an integer type such as numpy's) from 0 to 2**64-1.
Words wordsFrom(py::handle words)
{
    if (PyUnicode_Check(words.ptr()) || PyBytes_Check(words.ptr()) || PyByteArray_Check(words.ptr())) {
        throw py::type_error("words must be an iterable of int or a numpy.uint64 array, not " + typeName(words));
    }
    if (PyObject_CheckBuffer(words.ptr()) != 0) {
        return wordsFromBuffer(words);
    }
    if (!py::isinstance<py::iterable>(words)) {
        throw py::type_error("words must be an iterable of int or a numpy.uint64 array, not " + typeName(words));
    }
    Words result;
    for (py::handle item : words) {
        result.push_back(wordFrom(item, result.size()));
    }
    return result;
}

/// The program's diagnostics as the package's Diagnostic tuples.
py::list diagnosticList(const tarnasm::Program& program)
{
    const py::object diagnosticType = packageClass("Diagnostic");
    py::list diagnostics;
    for (const tarnasm::Diagnostic& d : program.diagnostics()) {
        diagnostics.append(diagnosticType(text(d.file), d.line, d.column, d.length, text(d.message),
                                          text(d.sourceLine), d.entry, text(tarnasm::diagnosticCode(d.kind))));
    }
    return diagnostics;
}

/// The package's AssemblyError for a program that did not assemble.
[[noreturn]] void raiseAssemblyError(const tarnasm::Program& program)
{
    const py::object type = packageClass("AssemblyError");
    raise(type, type(text(program.report()), diagnosticList(program), program.errorCount(), text(program.name())));
}

/// assemble or check on a source and name as Python passes them, the GIL released meanwhile.
tarnasm::Program runOnSource(py::handle source, py::handle name,
                             tarnasm::Program (*run)(std::string_view, std::string_view))
{
    if (!PyUnicode_Check(name.ptr())) {
        throw py::type_error("name must be str, not " + typeName(name));
    }
    std::string copy;
    const std::string_view bytes = sourceBytes(source, copy);
    const std::string nameBytes(utf8(name));
    py::gil_scoped_release release;
    return run(bytes, nameBytes);
}

tarnasm::Program assembleSource(py::handle source, py::handle name)
{
    tarnasm::Program program = runOnSource(source, name, &tarnasm::assemble);
    if (!program.ok()) {
        raiseAssemblyError(program);
    }
    return program;
}

py::list checkSource(py::handle source, py::handle name)
{
    return diagnosticList(runOnSource(source, name, &tarnasm::check));
}

tarnasm::Program assembleFile(py::handle path)
{
    const std::filesystem::path file = fsPath(path);
    tarnasm::Program program;
    {
        py::gil_scoped_release release;
        program = tarnasm::assembleFile(file);
    }
    if (!program.ok()) {
        raiseAssemblyError(program);
    }
    return program;
}

py::list wordList(std::span<const std::uint64_t> words)
{
    py::list list(words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        list[i] = py::int_(words[i]);
    }
    return list;
}

std::string disassembleWords(py::handle words)
{
    const Words values = wordsFrom(words);
    try {
        py::gil_scoped_release release;
        return tarnasm::disassemble(values);
    } catch (const tarnasm::DisassemblyError& e) {
        const py::object unknownType = packageClass("UnknownWord");
        py::list unknown;
        for (const tarnasm::UnknownWord& u : e.unknownWords()) {
            unknown.append(unknownType(u.address, py::int_(u.decoded.word), text(u.decoded.problem)));
        }
        const py::object type = packageClass("DisassemblyError");
        raise(type, type(text(e.what()), unknown));
    }
}

py::tuple decodeWord(py::handle word)
{
    const tarnasm::DecodedWord decoded = tarnasm::decode(wordFrom(word, kNotAnItem));
    py::object mnemonic = decoded.variant != nullptr ? py::object(py::str(decoded.variant->mnemonic)) : py::none();
    py::list operands;
    for (std::int64_t value : decoded.operands) {
        operands.append(value);
    }
    return py::make_tuple(py::int_(decoded.word), decoded.opcode, decoded.select, mnemonic, py::tuple(operands),
                          decoded.problem, decoded.text());
}

[[noreturn]] void raiseHexFormatError(const tarnasm::HexFormatError& e)
{
    const py::object type = packageClass("HexFormatError");
    raise(type, type(text(e.what()), e.line(), e.column()));
}

py::list readHex(py::handle source)
{
    if (!PyUnicode_Check(source.ptr()) && !PyBytes_Check(source.ptr())) {
        throw py::type_error("text must be str or bytes, not " + typeName(source));
    }
    std::string copy;
    const std::string_view bytes = sourceBytes(source, copy);
    try {
        return wordList(tarnasm::readHex(bytes));
    } catch (const tarnasm::HexFormatError& e) {
        raiseHexFormatError(e);
    }
}

py::list loadHex(py::handle path)
{
    const std::filesystem::path file = fsPath(path);
    try {
        Words words;
        {
            py::gil_scoped_release release;
            words = tarnasm::loadHex(file);
        }
        return wordList(words);
    } catch (const tarnasm::HexFormatError& e) {
        raiseHexFormatError(e);
    } catch (const std::filesystem::filesystem_error& e) {
        raiseOsError(e, false);
    }
}

void saveHex(py::handle path, std::span<const std::uint64_t> words)
{
    const std::filesystem::path file = fsPath(path);
    try {
        py::gil_scoped_release release;
        tarnasm::saveHex(file, words);
    } catch (const std::filesystem::filesystem_error& e) {
        raiseOsError(e, true);
    }
}

/// The instruction set as plain tuples, which the package turns into its named tuples.
py::list instructionSet()
{
    py::list variants;
    for (const tarnasm::Variant& variant : tarnasm::instructionSet()) {
        py::list operands;
        for (const tarnasm::OperandInfo& operand : variant.operands) {
            operands.append(py::make_tuple(operand.name, operand.isRegister, operand.minimum, operand.maximum,
                                           operand.msb, operand.lsb));
        }
        variants.append(py::make_tuple(variant.mnemonic, variant.opcode, variant.select, variant.signature,
                                       py::tuple(operands)));
    }
    return variants;
}

/// A Program is only ever made by a successful assemble, so its words never change: a buffer
/// handed to numpy stays valid for as long as numpy holds the Program.
py::buffer_info programBuffer(const tarnasm::Program& program)
{
    static const std::uint64_t none = 0;
    const auto words = program.words();
    return py::buffer_info(const_cast<std::uint64_t*>(words.empty() ? &none : words.data()),
                           sizeof(std::uint64_t), py::format_descriptor<std::uint64_t>::format(), 1,
                           {static_cast<py::ssize_t>(words.size())}, {static_cast<py::ssize_t>(sizeof(std::uint64_t))},
                           true);
}

py::object programItem(const tarnasm::Program& program, py::handle index)
{
    const auto words = program.words();
    if (PySlice_Check(index.ptr())) {
        size_t start = 0;
        size_t stop = 0;
        size_t step = 0;
        size_t length = 0;
        if (!py::reinterpret_borrow<py::slice>(index).compute(words.size(), &start, &stop, &step, &length)) {
            throw py::error_already_set();
        }
        py::list list(length);
        for (size_t i = 0; i < length; ++i, start += step) {
            list[i] = py::int_(words[start]);
        }
        return list;
    }
    if (PyIndex_Check(index.ptr()) == 0) {
        throw py::type_error("Program indices must be integers or slices, not " + typeName(index));
    }
    const Py_ssize_t size = static_cast<Py_ssize_t>(words.size());
    Py_ssize_t i = PyNumber_AsSsize_t(index.ptr(), PyExc_IndexError);
    if (i == -1 && PyErr_Occurred() != nullptr) {
        throw py::error_already_set();
    }
    if (i < 0) {
        i += size;
    }
    if (i < 0 || i >= size) {
        throw py::index_error("Program index out of range");
    }
    return py::int_(words[static_cast<size_t>(i)]);
}

int programSourceLine(const tarnasm::Program& program, py::handle address)
{
    if (PyIndex_Check(address.ptr()) == 0) {
        throw py::type_error("address must be an int, not " + typeName(address));
    }
    const auto index = py::reinterpret_steal<py::object>(PyNumber_Index(address.ptr()));
    if (!index) {
        throw py::error_already_set();
    }
    int overflow = 0;
    const long long value = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow != 0) {
        return 0;
    }
    if (value < 0 || static_cast<unsigned long long>(value) >= program.words().size()) {
        return 0;
    }
    return program.sourceLine(static_cast<std::uint32_t>(value));
}

} // namespace

PYBIND11_MODULE(_core, m)
{
    m.doc() = "The compiled part of tarnasm; use the package tarnasm, not this module.";

    py::class_<tarnasm::Program>(m, "Program", py::buffer_protocol(),
                                 R"(An assembled program: its instruction words and where they came from.

Made by tarnasm.assemble and tarnasm.assemble_file. len(program), indexing and
iteration give the words as int; the buffer protocol shares them as unsigned
64-bit integers, so numpy.asarray(program) is a read-only view without a copy.)")
        // Made only by the library: an instance that Program.__new__ (or copy and pickle through
        // it) made would hold no Program at all.
        .def_static(
            "__new__",
            [](py::args, const py::kwargs&) -> py::object {
                throw py::type_error("tarnasm.Program cannot be created directly; use tarnasm.assemble");
            })
        .def("__copy__", [](const tarnasm::Program& p) { return p; })
        .def("__deepcopy__", [](const tarnasm::Program& p, py::handle) { return p; }, py::arg("memo"))
        .def("__reduce__",
             [](const tarnasm::Program&) -> py::object {
                 throw py::type_error("cannot pickle 'tarnasm.Program' object: pickle its words or its source");
             })
        .def_buffer(&programBuffer)
        .def("__len__", [](const tarnasm::Program& p) { return p.words().size(); })
        .def("__getitem__", &programItem, py::arg("index"),
             "The word at an index (negative counts from the end), or a list of words for a slice.")
        .def(
            "__iter__",
            [](const tarnasm::Program& p) { return py::make_iterator(p.words().begin(), p.words().end()); },
            py::keep_alive<0, 1>())
        .def("__repr__",
             [](const tarnasm::Program& p) {
                 return "<tarnasm.Program " + std::string(py::repr(text(p.name()))) + ": " +
                        std::to_string(p.words().size()) + " words>";
             })
        .def_property_readonly(
            "words", [](const tarnasm::Program& p) { return wordList(p.words()); },
            "The instruction words as a new list of int, exactly what the .hex file holds.")
        .def_property_readonly(
            "hex", [](const tarnasm::Program& p) { return tarnasm::writeHex(p.words()); },
            "The .hex text: each word as 16 lower-case hexadecimal digits and a line feed.")
        .def_property_readonly(
            "name", [](const tarnasm::Program& p) { return text(p.name()); },
            "The source name given to assemble, or the path given to assemble_file.")
        .def_property_readonly(
            "labels",
            [](const tarnasm::Program& p) {
                py::dict labels;
                for (const tarnasm::Label& label : p.labels()) {
                    labels[text(label.name)] = label.address;
                }
                return labels;
            },
            "A new dict of every label, in source order: name -> instruction address.")
        .def_property_readonly(
            "symbols",
            [](const tarnasm::Program& p) {
                py::dict symbols;
                for (const tarnasm::Symbol& symbol : p.symbols()) {
                    symbols[text(symbol.name)] = text(symbol.value);
                }
                return symbols;
            },
            "A new dict of every .DEF symbol, in source order: name -> value text as written.")
        .def("source_line", &programSourceLine, py::arg("address"),
             "The 1-based source line of the instruction at this address; 0 for an address without one.")
        .def(
            "save_hex", [](const tarnasm::Program& p, py::handle path) { saveHex(path, p.words()); }, py::arg("path"),
            R"(Writes the .hex file as the command line does: into a new file beside the
target, renamed over it only when complete, so a failure leaves an existing
file as it was. Raises OSError when it cannot.)");
    // Shown as a class of the package that hosts use, not of this module.
    m.attr("Program").attr("__module__") = "tarnasm";

    // The package's functions wrap these with their documentation and types.
    m.def("version", [] { return std::string(tarnasm::version()); }, "The library's version.");
    m.def("assemble", &assembleSource, py::arg("source"), py::arg("name"), "See tarnasm.assemble.");
    m.def("check", &checkSource, py::arg("source"), py::arg("name"), "See tarnasm.check.");
    m.def("assemble_file", &assembleFile, py::arg("path"), "See tarnasm.assemble_file.");
    m.def("disassemble", &disassembleWords, py::arg("words"), "See tarnasm.disassemble.");
    m.def("decode", &decodeWord, py::arg("word"), "See tarnasm.decode; gives the fields as a plain tuple.");
    m.def("read_hex", &readHex, py::arg("text"), "See tarnasm.read_hex.");
    m.def(
        "write_hex", [](py::handle words) { return tarnasm::writeHex(wordsFrom(words)); }, py::arg("words"),
        "See tarnasm.write_hex.");
    m.def("load_hex", &loadHex, py::arg("path"), "See tarnasm.load_hex.");
    m.def(
        "save_hex", [](py::handle path, py::handle words) { saveHex(path, wordsFrom(words)); }, py::arg("path"),
        py::arg("words"), "See tarnasm.save_hex.");
    m.def("instruction_set", &instructionSet, "See tarnasm.instruction_set; gives plain tuples.");
}
