r"""Assemble, inspect and disassemble programs of the Tarn sequencer.

    >>> import tarnasm
    >>> program = tarnasm.assemble("start:  nop\n        jmp @start\n")
    >>> program.words, program.labels
    ([576460752303423488, 1008806316530991104], {'start': 0})
    >>> tarnasm.disassemble(program)
    'nop\njmp 0\n'
    >>> try:
    ...     tarnasm.assemble("        jmp @end\n", name="loop.tasm")
    ... except tarnasm.AssemblyError as error:
    ...     print(error.diagnostics[0][:4], error.diagnostics[0].source_line)
    ('loop.tasm', 1, 13, 3)         jmp @end

A Program shares its words through the buffer protocol: numpy.asarray(program)
is a numpy.uint64 view of them, not a copy. A source with errors raises
AssemblyError (a ValueError): str(error) is the report the command line logs,
error.diagnostics points at each place of it.

Every function may be called from any number of threads at once; assembling
releases the GIL, so threads assemble in parallel.
"""

from __future__ import annotations

import html
import os
from typing import TYPE_CHECKING, Iterable, NamedTuple, Optional, Sequence, Tuple, Union

from . import _core
from ._core import Program

if TYPE_CHECKING:  # numpy is optional: only the types name it
    import numpy
    import numpy.typing

__all__ = [
    "AssemblyError", "DecodedWord", "Diagnostic", "DisassemblyError", "HexFormatError", "Operand",
    "Program", "UnknownWord", "Variant", "__version__", "assemble", "assemble_file", "check", "decode",
    "disassemble", "instruction_set", "load_hex", "read_hex", "save_hex", "write_hex",
]

__version__: str = _core.version()

#: A file system path as os.fspath takes it.
PathLike = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
#: Words as the functions that take them accept them: any iterable of int, or a one-dimensional
#: numpy.uint64 array (or another buffer of unsigned 64-bit integers, such as a Program).
Words = Union[Iterable[int], "numpy.typing.NDArray[numpy.uint64]"]


class Diagnostic(NamedTuple):
    """One place of an error report: where it is, what is wrong, and the line it points into.

    An error about several places (a label defined twice) gives one Diagnostic for each, with
    the same entry and message.
    """

    #: The source name as the report shows it ("" for an error without a place).
    file: str
    #: 1-based line number; 0 for an error without a place.
    line: int
    #: Index of the first marked byte of the line, from 0; -1 when nothing is marked.
    column: int
    #: Number of marked bytes; 0 when column is -1.
    length: int
    #: The message, as the report words it.
    message: str
    #: The text of the line the error points into ("" without a place).
    source_line: str
    #: Index of the error (the report's entry) this place belongs to, from 0.
    entry: int
    #: What the error is about, as a stable name such as "unknown-mnemonic" or "undefined-label".
    kind: str = "other"


class AssemblyError(ValueError):
    """The source did not assemble.

    str(error) is the full report exactly as the command line logs it; diagnostics lists every
    place of it in report order; error_count is the number of errors (the command line's exit
    status before it is capped at 255).
    """

    # What an instance made without __init__ (ValueError.__new__, a copy) reads.
    report: str = ""
    diagnostics: Sequence[Diagnostic] = ()
    error_count: int = 0
    name: str = ""

    def __init__(self, report: str, diagnostics: Sequence[Diagnostic], error_count: int, name: str) -> None:
        super().__init__(report)
        self.report = report
        self.diagnostics = list(diagnostics)
        self.error_count = error_count
        self.name = name

    def __str__(self) -> str:
        return self.report

    def __reduce__(self):
        # Pickled whole, so that the error crosses process boundaries (multiprocessing pools).
        return type(self), (self.report, self.diagnostics, self.error_count, self.name)

    def _repr_html_(self) -> str:
        """The report as notebooks show it: in a fixed-width font, so that the carets stand under
        the text they mark."""
        return '<pre class="tarnasm-error">%s</pre>' % html.escape(self.report)


class UnknownWord(NamedTuple):
    """A word that disassemble could not write as an instruction, and why."""

    address: int
    word: int
    problem: str


class DisassemblyError(ValueError):
    """Words that are not instructions; unknown_words lists every one of them."""

    unknown_words: Sequence[UnknownWord] = ()

    def __init__(self, message: str, unknown_words: Sequence[UnknownWord]) -> None:
        super().__init__(message)
        self.unknown_words = list(unknown_words)

    def __reduce__(self):
        return type(self), (str(self), self.unknown_words)


class HexFormatError(ValueError):
    """Malformed .hex text; line is 1-based and column counts bytes from 0."""

    line: int = 0
    column: int = 0

    def __init__(self, message: str, line: int, column: int) -> None:
        super().__init__(message)
        self.line = line
        self.column = column

    def __reduce__(self):
        return type(self), (str(self), self.line, self.column)


class Operand(NamedTuple):
    """One operand of an instruction variant."""

    #: The operand kind as error messages quote it ("alu_src_imm", "ins_adr_imm").
    name: str
    #: True for a register (R0 to R63), False for an immediate.
    is_register: bool
    #: The values it accepts (the register number for a register).
    minimum: int
    maximum: int
    #: The bits of the instruction word that hold it, msb down to lsb.
    msb: int
    lsb: int


class Variant(NamedTuple):
    """One variant of a mnemonic: its encoding and its operands."""

    mnemonic: str
    opcode: int
    select: int
    #: The operand forms as error messages show them: "R#" a register, "#" an immediate.
    signature: str
    operands: Tuple[Operand, ...]


class DecodedWord(NamedTuple):
    """One word taken apart by decode."""

    word: int
    opcode: int
    select: int
    #: The variant's mnemonic; None when opcode and select name no instruction.
    mnemonic: Optional[str]
    #: Operand values as assembly text writes them (signed where the range is).
    operands: Tuple[int, ...]
    #: "" when text assembles back to exactly this word; otherwise why not.
    problem: str
    #: "mnemonic op, op" with registers as R<n>; "" when there is a problem.
    text: str


def assemble(source: Union[str, bytes], name: str = "<string>") -> Program:
    """Assembles tarn assembly text and returns the Program.

    source is str (read as UTF-8) or bytes (taken as they are); name is the source name the
    report shows ("<string>" as Python's compile() names text without a file; the C and C++
    interfaces say "<input>"). Raises AssemblyError when the source has errors and TypeError for a source
    of another type. Releases the GIL while it works.
    """
    return _core.assemble(source, name)


def check(source: Union[str, bytes], name: str = "<string>") -> list[Diagnostic]:
    """Every error of the source at once, for editors; an empty list when it assembles.

    Where assemble stops after an undefined or duplicate label, check goes on and also reports
    the errors of every instruction that does not use the undefined label. Takes source and
    name like assemble; releases the GIL while it works.
    """
    return _core.check(source, name)


def assemble_file(path: PathLike) -> Program:
    """Reads and assembles a file; the report names it as the path was given.

    Raises AssemblyError when the source has errors, and the OSError that open() would raise
    for a file that cannot be read (FileNotFoundError, IsADirectoryError, PermissionError).
    Releases the GIL while it works.
    """
    _check_readable(path)
    return _core.assemble_file(path)


def disassemble(words: Words) -> str:
    """Assembly text for the words, one instruction a line, that assembles to the same words.

    Raises DisassemblyError naming every word that is not an instruction (decode takes such
    words apart), TypeError for something that holds no words or a word that is no int (or a
    numpy array of another dtype), ValueError for a word outside 0 to 2**64-1.
    """
    return _core.disassemble(words)


def decode(word: int) -> DecodedWord:
    """Takes one word apart, whatever it holds."""
    word, opcode, select, mnemonic, operands, problem, text = _core.decode(word)
    return DecodedWord(word, opcode, select, mnemonic, operands, problem, text)


def read_hex(text: Union[str, bytes]) -> list[int]:
    """The words of .hex text: one word a line in exactly 16 hexadecimal digits.

    Raises HexFormatError naming the line and column of anything else.
    """
    return _core.read_hex(text)


def write_hex(words: Words) -> str:
    """The .hex text of the words: 16 lower-case hexadecimal digits and a line feed each."""
    return _core.write_hex(words)


def load_hex(path: PathLike) -> list[int]:
    """The words of a .hex file.

    Raises HexFormatError (its message names the file) for malformed text, and OSError for a
    file that cannot be read: the subclass for the system's reason (FileNotFoundError,
    IsADirectoryError, PermissionError), with the library's words for it.
    """
    return _core.load_hex(path)


def save_hex(path: PathLike, words: Words) -> None:
    """Writes a .hex file the safe way Program.save_hex does. Raises OSError when it cannot, as
    load_hex does."""
    _core.save_hex(path, words)


_instruction_set: Optional[Tuple[Variant, ...]] = None


def instruction_set() -> Tuple[Variant, ...]:
    """Every variant of the instruction set, by opcode and then select."""
    global _instruction_set
    if _instruction_set is None:
        _instruction_set = tuple(
            Variant(mnemonic, opcode, select, signature, tuple(Operand(*operand) for operand in operands))
            for mnemonic, opcode, select, signature, operands in _core.instruction_set())
    return _instruction_set


def _check_readable(path: PathLike) -> None:
    # The library reports an unreadable source as an error of the source (the command line's
    # message); opening it here first raises exactly what Python's open() would.
    with open(os.fspath(path), "rb"):
        pass
