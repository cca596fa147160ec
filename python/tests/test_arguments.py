"""Wrong arguments give Python's own exceptions with a clear message."""

import pickle

import pytest

import tarnasm
from conftest import numpy

PROGRAM = tarnasm.assemble("stop\n")

# (call with a scratch folder, exception, message pattern)
CASES = {
    "source None": (lambda d: tarnasm.assemble(None), TypeError, "^source must be str or bytes, not NoneType$"),
    "source surrogate": (lambda d: tarnasm.assemble("\udc80"), UnicodeEncodeError, "surrogates not allowed"),
    "name None": (lambda d: tarnasm.assemble("stop", None), TypeError, "^name must be str, not NoneType$"),
    "name NUL": (lambda d: tarnasm.assemble("stop", "a\0b.tasm"), ValueError, "^name must not contain a NUL"),
    "name surrogate": (lambda d: tarnasm.assemble("stop", "\udc80.tasm"), UnicodeEncodeError, "surrogates not allowed"),
    "new Program": (lambda d: tarnasm.Program.__new__(tarnasm.Program), TypeError, "cannot be created directly"),
    "Program()": (lambda d: tarnasm.Program(), TypeError, "cannot be created directly"),
    "pickle Program": (lambda d: pickle.dumps(PROGRAM), TypeError, "^cannot pickle 'tarnasm.Program' object"),
    "word above": (lambda d: tarnasm.disassemble([2**64]), ValueError,
                   r"^words\[0\] is 18446744073709551616; a word is an integer from 0 to 2\*\*64-1$"),
    "word below": (lambda d: tarnasm.disassemble([1, -1]), ValueError, r"^words\[1\] is -1;"),
    "word float": (lambda d: tarnasm.write_hex([1.0]), TypeError, r"^words\[0\] must be an int, not float$"),
    "word str": (lambda d: tarnasm.decode("1"), TypeError, "^word must be an int, not str$"),
    "words str": (lambda d: tarnasm.disassemble("stop"), TypeError, "^words must be an iterable of int .* not str$"),
    "dtype int64": (lambda d: tarnasm.disassemble(numpy.zeros(2, numpy.int64)), TypeError,
                    r"^words must be unsigned 64-bit integers \(numpy.uint64\), not int64$"),
    "dtype bytes": (lambda d: tarnasm.disassemble(memoryview(b"12345678")), TypeError, "not format 'B'$"),
    "two dimensions": (lambda d: tarnasm.disassemble(numpy.zeros((2, 2), numpy.uint64)), ValueError,
                       "^words must be a one-dimensional array, not 2-dimensional$"),
    "index": (lambda d: PROGRAM[1], IndexError, "^Program index out of range$"),
    "index str": (lambda d: PROGRAM["0"], TypeError, "^Program indices must be integers or slices, not str$"),
    "address float": (lambda d: PROGRAM.source_line(0.0), TypeError, "^address must be an int, not float$"),
    "hex None": (lambda d: tarnasm.read_hex(None), TypeError, "^text must be str or bytes, not NoneType$"),
    "path None": (lambda d: tarnasm.assemble_file(None), TypeError, "os.PathLike"),
    "path missing": (lambda d: tarnasm.assemble_file(d / "missing.tasm"), FileNotFoundError, "missing.tasm"),
    "path directory": (lambda d: tarnasm.assemble_file(d), IsADirectoryError, "Is a directory"),
    "hex directory": (lambda d: tarnasm.load_hex(str(d)), IsADirectoryError, "Is a directory"),
    "hex missing": (lambda d: tarnasm.load_hex(d / "x.hex"), FileNotFoundError, "No such file or directory"),
    "save into missing": (lambda d: PROGRAM.save_hex(d / "no" / "x.hex"), FileNotFoundError, "x.hex"),
    "save path NUL": (lambda d: PROGRAM.save_hex(str(d / "x.hex\0y")), ValueError, "^embedded null byte$"),
}


@pytest.mark.parametrize("cls", [tarnasm.AssemblyError, tarnasm.DisassemblyError, tarnasm.HexFormatError])
def test_errors_made_without_init_still_read(cls):
    error = cls.__new__(cls)
    assert str(error) == "" and repr(error)
    assert all(getattr(error, name) is not None for name in vars(cls).get("__annotations__", {}))


@pytest.mark.parametrize("case", CASES)
def test_wrong_argument(case, tmp_path):
    if numpy is None and case in ("dtype int64", "two dimensions"):
        pytest.skip("numpy is not installed")
    call, error, message = CASES[case]
    with pytest.raises(error, match=message):
        call(tmp_path)
    assert sorted(p.name for p in tmp_path.iterdir()) == []
