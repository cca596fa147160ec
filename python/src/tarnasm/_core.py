"""The library's C interface through ctypes: the shared library that sits in this folder, the
Program type over its handle, and the calls the package tarnasm wraps.

Every argument is checked here, with messages in Python's own words, so that a wrong argument
raises a Python exception and never reaches the library. Calls through ctypes.CDLL release the
GIL, so threads assemble in parallel.
"""

import array
import ctypes
import html
import operator
import os
import re
import sys

from . import _buffer

_u64 = ctypes.c_uint64
_handle = ctypes.c_void_p
_OK, _ARGUMENT, _MEMORY, _FILE, _HEX_FORMAT, _NOT_AN_INSTRUCTION = 0, 1, 2, 3, 4, 5
_WORD_LIMIT = 1 << 64
#: Rows of a Program's notebook listing; a longer program shows its first rows and a count.
_LISTING_ROWS = 500


def library_name(platform=sys.platform):
    """The file name of the shared library that the wheel for this platform carries."""
    if platform.startswith("win") or platform == "cygwin":
        return "tarnasm.dll"
    if platform == "darwin":
        return "libtarnasm.1.dylib"
    return "libtarnasm.so.1"


def load_library(folder=os.path.dirname(os.path.abspath(__file__)), platform=sys.platform, loader=ctypes.CDLL):
    """The library from this package's folder, by full path: never one the system finds elsewhere,
    which could be another version."""
    path = os.path.join(folder, library_name(platform))
    if not os.path.isfile(path):
        raise ImportError("tarnasm: the library %s is missing from the package; reinstall tarnasm" % path)
    return loader(path)


class _Diagnostic(ctypes.Structure):
    _fields_ = [("file", ctypes.c_char_p), ("line", ctypes.c_int), ("column", ctypes.c_int),
                ("length", ctypes.c_int), ("message", ctypes.c_char_p), ("source_line", ctypes.c_char_p),
                ("entry", ctypes.c_int), ("kind", ctypes.c_int)]


class _Label(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("address", ctypes.c_uint32), ("line", ctypes.c_int),
                ("column", ctypes.c_int)]


class _Symbol(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("value", ctypes.c_char_p), ("line", ctypes.c_int),
                ("column", ctypes.c_int)]


class _DecodedWord(ctypes.Structure):
    _fields_ = [("word", _u64), ("opcode", ctypes.c_uint32), ("select", ctypes.c_uint32),
                ("variant", ctypes.c_int), ("operands", ctypes.POINTER(ctypes.c_int64)),
                ("operand_count", ctypes.c_size_t), ("problem", ctypes.c_char_p), ("text", ctypes.c_char_p)]


class _VariantInfo(ctypes.Structure):
    _fields_ = [("mnemonic", ctypes.c_char_p), ("opcode", ctypes.c_uint32), ("select", ctypes.c_uint32),
                ("signature", ctypes.c_char_p), ("operand_count", ctypes.c_size_t)]


class _OperandInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("is_register", ctypes.c_int), ("is_address", ctypes.c_int),
                ("msb", ctypes.c_int), ("lsb", ctypes.c_int), ("minimum", ctypes.c_int64),
                ("maximum", ctypes.c_int64)]


def _declare(lib):
    P = ctypes.POINTER
    size, status, text = ctypes.c_size_t, ctypes.c_int, ctypes.c_char_p
    signatures = {
        "tarnasm_last_error": (text, []),
        "tarnasm_last_system_error": (ctypes.c_int, []),
        "tarnasm_version": (text, []),
        "tarnasm_string_free": (None, [ctypes.c_void_p]),
        "tarnasm_assemble": (status, [text, size, text, P(_handle)]),
        "tarnasm_check": (status, [text, size, text, P(_handle)]),
        "tarnasm_assemble_file": (status, [text, P(_handle)]),
        "tarnasm_program_free": (None, [_handle]),
        "tarnasm_program_ok": (ctypes.c_int, [_handle]),
        "tarnasm_program_error_count": (size, [_handle]),
        "tarnasm_program_words": (P(_u64), [_handle, P(size)]),
        "tarnasm_program_report": (text, [_handle]),
        "tarnasm_program_name": (text, [_handle]),
        "tarnasm_program_source_line": (ctypes.c_int, [_handle, ctypes.c_uint32]),
        "tarnasm_program_diagnostic_count": (size, [_handle]),
        "tarnasm_program_label_count": (size, [_handle]),
        "tarnasm_program_symbol_count": (size, [_handle]),
        "tarnasm_program_diagnostic": (status, [_handle, size, P(_Diagnostic)]),
        "tarnasm_program_label": (status, [_handle, size, P(_Label)]),
        "tarnasm_program_symbol": (status, [_handle, size, P(_Symbol)]),
        "tarnasm_diagnostic_code": (text, [ctypes.c_int]),
        "tarnasm_disassemble": (status, [P(_u64), size, P(ctypes.c_void_p), P(P(size)), P(size)]),
        "tarnasm_addresses_free": (None, [P(size)]),
        "tarnasm_decode": (status, [_u64, P(_handle), P(_DecodedWord)]),
        "tarnasm_decoded_free": (None, [_handle]),
        "tarnasm_read_hex": (status, [text, size, P(P(_u64)), P(size)]),
        "tarnasm_write_hex": (status, [P(_u64), size, P(ctypes.c_void_p)]),
        "tarnasm_load_hex": (status, [text, P(P(_u64)), P(size)]),
        "tarnasm_save_hex": (status, [text, P(_u64), size]),
        "tarnasm_words_free": (None, [P(_u64)]),
        "tarnasm_variant_count": (size, []),
        "tarnasm_variant": (status, [size, P(_VariantInfo)]),
        "tarnasm_variant_operand": (status, [size, size, P(_OperandInfo)]),
    }
    for name, (restype, argtypes) in signatures.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    return lib


_lib = _declare(load_library())


def _text(data):
    """Text from the library as str; bytes of a source that were not UTF-8 read as U+FFFD, so that
    a report can always be printed."""
    return data.decode("utf-8", "replace") if data else ""


def _package():
    # The package's own classes (exceptions, named tuples); it is imported before any call here.
    return sys.modules[__package__]


def _failed(status):
    """The exception for a status that no argument check here could have prevented."""
    reason = _text(_lib.tarnasm_last_error())
    if status == _MEMORY:
        return MemoryError(reason)
    return RuntimeError("tarnasm: %s" % reason)


def _os_error(path):
    """The OSError for a failed file call: the system's error number and the library's words."""
    code = _lib.tarnasm_last_system_error()
    reason = _text(_lib.tarnasm_last_error())
    return OSError(code, reason, path) if code else OSError(reason)


def _hex_format_error(prefix=""):
    # The reason reads "[path: ]line L, column C: problem"; the path is the one given.
    message = _text(_lib.tarnasm_last_error())
    match = re.match(r"line (\d+), column (\d+): ", message[len(prefix):])
    line, column = (int(match.group(1)), int(match.group(2))) if match else (0, 0)
    return _package().HexFormatError(message, line, column)


def _fs_path(path):
    """A path argument as os.fspath takes it, as bytes for the library (UTF-8 on Windows). A NUL
    byte would cut the path short where the system call reads it, and so name another file: it is
    refused, as open() does."""
    path = os.fspath(path)
    if isinstance(path, str):
        path = os.fsencode(path)
    if b"\0" in path:
        raise ValueError("embedded null byte")
    return path


def _source_bytes(source):
    """A source as the library takes it: str as UTF-8 (a lone surrogate raises UnicodeEncodeError,
    as str.encode does), bytes as they are, a bytearray copied (it could change meanwhile)."""
    if isinstance(source, str):
        return source.encode("utf-8")
    if isinstance(source, bytes):
        return source
    if isinstance(source, bytearray):
        return bytes(source)
    raise TypeError("source must be str or bytes, not %s" % type(source).__name__)


def _word(item, what):
    """One word: an int (or an integer type such as numpy's, but no float) from 0 to 2**64-1."""
    if not hasattr(type(item), "__index__"):
        raise TypeError("%s must be an int, not %s" % (what, type(item).__name__))
    value = operator.index(item)
    if not 0 <= value < _WORD_LIMIT:
        raise ValueError("%s is %d; a word is an integer from 0 to 2**64-1" % (what, value))
    return value


def _words(words):
    """Words from a uint64 buffer (a numpy array, a Program) or any iterable of integers, as a
    (pointer, count, owner) triple; the owner keeps the memory alive for the call."""
    if isinstance(words, Program):
        return words._pointer, len(words._words), words
    if isinstance(words, (str, bytes, bytearray)):
        raise TypeError("words must be an iterable of int or a numpy.uint64 array, not %s" % type(words).__name__)
    try:
        view = memoryview(words)
    except TypeError:
        view = None
    if view is not None:
        return _words_from_buffer(words, view)
    try:
        items = words if isinstance(words, (list, tuple)) else list(iter(words))
    except TypeError:
        if hasattr(type(words), "__iter__"):
            raise
        raise TypeError("words must be an iterable of int or a numpy.uint64 array, not %s"
                        % type(words).__name__) from None
    try:
        values = array.array("Q", items)
    except (TypeError, ValueError, OverflowError):
        # The exact message for the first item that is no word.
        values = array.array("Q", [_word(item, "words[%d]" % i) for i, item in enumerate(items)])
    if not values:
        return None, 0, values
    return (_u64 * len(values)).from_buffer(values), len(values), values


def _words_from_buffer(words, view):
    """A buffer of words: one dimension of unsigned 64-bit integers in native byte order."""
    form = view.format.lstrip("@=<") if sys.byteorder == "little" else view.format.lstrip("@=>")
    if form not in ("Q", "L") or view.itemsize != 8:
        held = str(words.dtype) if hasattr(words, "dtype") else "format '%s'" % view.format
        raise TypeError("words must be unsigned 64-bit integers (numpy.uint64), not " + held)
    if view.ndim != 1:
        raise ValueError("words must be a one-dimensional array, not %d-dimensional" % view.ndim)
    count = view.shape[0]
    if count == 0:
        return None, 0, None
    copy = (_u64 * count).from_buffer_copy(view if view.c_contiguous else view.tobytes())
    return copy, count, copy


def _program(assemble, *arguments):
    pointer = _handle()
    status = assemble(*arguments, ctypes.byref(pointer))
    if status != _OK:
        raise _failed(status)
    return _Handle(pointer)


class _Handle:
    """Owns a tarnasm_program; every Program that shares it (copies) keeps it alive."""

    __slots__ = ("pointer", "__weakref__")

    def __init__(self, pointer):
        self.pointer = pointer

    def __del__(self, free=_lib.tarnasm_program_free):
        free(self.pointer)

    @property
    def ok(self):
        return _lib.tarnasm_program_ok(self.pointer) != 0

    def diagnostics(self):
        diagnostic = _package().Diagnostic
        d = _Diagnostic()
        result = []
        for index in range(_lib.tarnasm_program_diagnostic_count(self.pointer)):
            _lib.tarnasm_program_diagnostic(self.pointer, index, ctypes.byref(d))
            result.append(diagnostic(_text(d.file), d.line, d.column, d.length, _text(d.message),
                                     _text(d.source_line), d.entry, _text(_lib.tarnasm_diagnostic_code(d.kind))))
        return result

    def assembly_error(self):
        return _package().AssemblyError(_text(_lib.tarnasm_program_report(self.pointer)), self.diagnostics(),
                                        _lib.tarnasm_program_error_count(self.pointer),
                                        _text(_lib.tarnasm_program_name(self.pointer)))


class Program(_buffer.WordBuffer):
    """An assembled program: its instruction words and where they came from.

    Made by tarnasm.assemble and tarnasm.assemble_file. len(program), indexing and
    iteration give the words as int; the buffer protocol shares them as unsigned
    64-bit integers, so numpy.asarray(program) is a read-only view without a copy.
    """

    __slots__ = ("_handle", "_words", "_pointer", "_source", "__weakref__")

    def __new__(cls, *args, **kwargs):
        # Made only by the library: an instance made any other way would hold no program at all.
        raise TypeError("tarnasm.Program cannot be created directly; use tarnasm.assemble")

    @classmethod
    def _of(cls, handle, source=None):
        self = object.__new__(cls)
        self._handle = handle
        self._source = source
        count = ctypes.c_size_t()
        pointer = _lib.tarnasm_program_words(handle.pointer, ctypes.byref(count))
        # The words never change once assembled, so a view of them stays valid while the handle
        # lives; the array holds the handle for every view made from it.
        self._words = (_u64 * count.value).from_address(ctypes.addressof(pointer.contents)) if count.value \
            else (_u64 * 0)()
        self._words._handle = handle
        self._pointer = ctypes.cast(self._words, ctypes.POINTER(_u64))
        return self

    def _export(self):
        """The words as a read-only memoryview of unsigned 64-bit integers (format "Q")."""
        return memoryview(self._words).cast("B").cast("Q").toreadonly()

    def __buffer__(self, flags):
        return self._export()

    @property
    def __array_interface__(self):
        return {"version": 3, "shape": (len(self._words),), "data": (ctypes.addressof(self._words), True),
                "typestr": ("<" if sys.byteorder == "little" else ">") + "u8"}

    def __copy__(self):
        return Program._of(self._handle, self._source)

    def __deepcopy__(self, memo):
        return self.__copy__()

    def __reduce__(self):
        raise TypeError("cannot pickle 'tarnasm.Program' object: pickle its words or its source")

    def __len__(self):
        return len(self._words)

    def __getitem__(self, index):
        """The word at an index (negative counts from the end), or a list of words for a slice."""
        if isinstance(index, slice):
            return self._words[index]
        if not hasattr(type(index), "__index__"):
            raise TypeError("Program indices must be integers or slices, not %s" % type(index).__name__)
        i = operator.index(index)
        size = len(self._words)
        if i < 0:
            i += size
        if not 0 <= i < size:
            raise IndexError("Program index out of range")
        return self._words[i]

    def __iter__(self):
        return iter(self._words[:])

    def __repr__(self):
        return "<tarnasm.Program %r: %d words>" % (self.name, len(self._words))

    def _repr_html_(self):
        """A listing for notebooks: address, word and the source line it came from."""
        lines = self._source.splitlines() if self._source is not None else None
        rows = []
        for address, word in enumerate(self._words[:_LISTING_ROWS]):
            line = self.source_line(address)
            text = _text(lines[line - 1]) if lines is not None and 0 < line <= len(lines) else ""
            rows.append("<tr><td>%d</td><td><code>%016x</code></td><td>%d</td><td><pre>%s</pre></td></tr>"
                        % (address, word, line, html.escape(text)))
        more = len(self._words) - _LISTING_ROWS
        if more > 0:
            rows.append("<tr><td colspan=\"4\">&hellip; %d more words</td></tr>" % more)
        return ("<table class=\"tarnasm-program\"><caption>%s: %d words</caption>"
                "<tr><th>address</th><th>word</th><th>line</th><th>source</th></tr>%s</table>"
                % (html.escape(self.name), len(self._words), "".join(rows)))

    @property
    def words(self):
        """The instruction words as a new list of int, exactly what the .hex file holds."""
        return self._words[:]

    @property
    def hex(self):
        """The .hex text: each word as 16 lower-case hexadecimal digits and a line feed."""
        return write_hex(self)

    @property
    def name(self):
        """The source name given to assemble, or the path given to assemble_file."""
        return _text(_lib.tarnasm_program_name(self._handle.pointer))

    @property
    def labels(self):
        """A new dict of every label, in source order: name -> instruction address."""
        label = _Label()
        result = {}
        for index in range(_lib.tarnasm_program_label_count(self._handle.pointer)):
            _lib.tarnasm_program_label(self._handle.pointer, index, ctypes.byref(label))
            result[_text(label.name)] = label.address
        return result

    @property
    def symbols(self):
        """A new dict of every .DEF symbol, in source order: name -> value text as written."""
        symbol = _Symbol()
        result = {}
        for index in range(_lib.tarnasm_program_symbol_count(self._handle.pointer)):
            _lib.tarnasm_program_symbol(self._handle.pointer, index, ctypes.byref(symbol))
            result[_text(symbol.name)] = _text(symbol.value)
        return result

    def source_line(self, address):
        """The 1-based source line of the instruction at this address; 0 for an address without one."""
        if not hasattr(type(address), "__index__"):
            raise TypeError("address must be an int, not %s" % type(address).__name__)
        address = operator.index(address)
        if not 0 <= address < len(self._words):
            return 0
        return _lib.tarnasm_program_source_line(self._handle.pointer, address)

    def save_hex(self, path):
        """Writes the .hex file as the command line does: into a new file beside the
        target, renamed over it only when complete, so a failure leaves an existing
        file as it was. Raises OSError when it cannot."""
        save_hex(path, self)


Program.__module__ = "tarnasm"


def version():
    return _text(_lib.tarnasm_version())


def _name_bytes(name):
    if not isinstance(name, str):
        raise TypeError("name must be str, not %s" % type(name).__name__)
    return name


def _run_on_source(run, source, name):
    name = _name_bytes(name)
    source = _source_bytes(source)
    name = name.encode("utf-8")
    if b"\0" in name:
        # The library takes the name up to its first NUL; the report would show another name.
        raise ValueError("name must not contain a NUL character")
    return _program(run, source, len(source), name), source


def assemble(source, name):
    handle, source = _run_on_source(_lib.tarnasm_assemble, source, name)
    if not handle.ok:
        raise handle.assembly_error()
    return Program._of(handle, source)


def check(source, name):
    return _run_on_source(_lib.tarnasm_check, source, name)[0].diagnostics()


def assemble_file(path):
    handle = _program(_lib.tarnasm_assemble_file, _fs_path(path))
    if not handle.ok:
        raise handle.assembly_error()
    return Program._of(handle, _read_quietly(path))


def _read_quietly(path):
    # Only for the notebook listing: a file that has gone since shows no source text.
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def _decoded(word):
    decoded = _handle()
    out = _DecodedWord()
    status = _lib.tarnasm_decode(word, ctypes.byref(decoded), ctypes.byref(out))
    if status != _OK:
        raise _failed(status)
    try:
        mnemonic = _mnemonics()[out.variant] if out.variant >= 0 else None
        operands = tuple(out.operands[i] for i in range(out.operand_count))
        return out.word, out.opcode, out.select, mnemonic, operands, _text(out.problem), _text(out.text)
    finally:
        _lib.tarnasm_decoded_free(decoded)


def disassemble(words):
    pointer, count, _owner = _words(words)
    text = ctypes.c_void_p()
    unknown = ctypes.POINTER(ctypes.c_size_t)()
    unknown_count = ctypes.c_size_t()
    status = _lib.tarnasm_disassemble(pointer, count, ctypes.byref(text), ctypes.byref(unknown),
                                      ctypes.byref(unknown_count))
    if status == _OK:
        try:
            return _text(ctypes.string_at(text.value))
        finally:
            _lib.tarnasm_string_free(text)
    if status != _NOT_AN_INSTRUCTION:
        raise _failed(status)
    message = _text(_lib.tarnasm_last_error())
    try:
        addresses = [unknown[i] for i in range(unknown_count.value)]
    finally:
        _lib.tarnasm_addresses_free(unknown)
    package = _package()
    unknown_words = [package.UnknownWord(a, pointer[a], _decoded(pointer[a])[5]) for a in addresses]
    raise package.DisassemblyError(message, unknown_words)


def decode(word):
    return _decoded(_word(word, "word"))


def read_hex(text):
    if not isinstance(text, (str, bytes)):
        raise TypeError("text must be str or bytes, not %s" % type(text).__name__)
    data = _source_bytes(text)
    words = ctypes.POINTER(_u64)()
    count = ctypes.c_size_t()
    status = _lib.tarnasm_read_hex(data, len(data), ctypes.byref(words), ctypes.byref(count))
    if status == _HEX_FORMAT:
        raise _hex_format_error()
    return _word_list(status, words, count)


def _word_list(status, words, count):
    if status != _OK:
        raise _failed(status)
    try:
        return words[:count.value]
    finally:
        _lib.tarnasm_words_free(words)


def write_hex(words):
    pointer, count, _owner = _words(words)
    text = ctypes.c_void_p()
    status = _lib.tarnasm_write_hex(pointer, count, ctypes.byref(text))
    if status != _OK:
        raise _failed(status)
    try:
        return _text(ctypes.string_at(text.value)) if count else ""
    finally:
        _lib.tarnasm_string_free(text)


def load_hex(path):
    given = path
    path = _fs_path(path)
    words = ctypes.POINTER(_u64)()
    count = ctypes.c_size_t()
    status = _lib.tarnasm_load_hex(path, ctypes.byref(words), ctypes.byref(count))
    if status == _FILE:
        raise _os_error(os.fspath(given))
    if status == _HEX_FORMAT:
        raise _hex_format_error(_text(path) + ": ")
    return _word_list(status, words, count)


def save_hex(path, words):
    pointer, count, _owner = _words(words)
    given = path
    path = _fs_path(path)
    status = _lib.tarnasm_save_hex(path, pointer, count)
    if status == _FILE:
        raise _os_error(os.fspath(given))
    if status != _OK:
        raise _failed(status)


def instruction_set():
    variant = _VariantInfo()
    operand = _OperandInfo()
    result = []
    for index in range(_lib.tarnasm_variant_count()):
        _lib.tarnasm_variant(index, ctypes.byref(variant))
        operands = []
        for o in range(variant.operand_count):
            _lib.tarnasm_variant_operand(index, o, ctypes.byref(operand))
            operands.append((_text(operand.name), operand.is_register != 0, operand.minimum, operand.maximum,
                             operand.msb, operand.lsb))
        result.append((_text(variant.mnemonic), variant.opcode, variant.select, _text(variant.signature),
                       tuple(operands)))
    return result


_mnemonic_list = None


def _mnemonics():
    global _mnemonic_list
    if _mnemonic_list is None:
        _mnemonic_list = [variant[0] for variant in instruction_set()]
    return _mnemonic_list
