"""The C interface from Python's ctypes, as a script or notebook without the module uses it.
    ctypes_test.py <libtarnasm.so>"""

import ctypes
import sys
import unittest

LIBRARY = sys.argv.pop(1) if len(sys.argv) > 1 else "libtarnasm.so"


class Diagnostic(ctypes.Structure):
    _fields_ = [("file", ctypes.c_char_p), ("line", ctypes.c_int), ("column", ctypes.c_int),
                ("length", ctypes.c_int), ("message", ctypes.c_char_p), ("source_line", ctypes.c_char_p),
                ("entry", ctypes.c_int), ("kind", ctypes.c_int)]


def load():
    lib = ctypes.CDLL(LIBRARY)
    handle = ctypes.c_void_p
    lib.tarnasm_version.restype = ctypes.c_char_p
    lib.tarnasm_last_error.restype = ctypes.c_char_p
    lib.tarnasm_assemble.argtypes = [ctypes.c_char_p, ctypes.c_size_t, ctypes.c_char_p, ctypes.POINTER(handle)]
    lib.tarnasm_program_free.argtypes = [handle]
    lib.tarnasm_program_ok.argtypes = [handle]
    lib.tarnasm_program_error_count.argtypes = [handle]
    lib.tarnasm_program_error_count.restype = ctypes.c_size_t
    lib.tarnasm_program_words.argtypes = [handle, ctypes.POINTER(ctypes.c_size_t)]
    lib.tarnasm_program_words.restype = ctypes.POINTER(ctypes.c_uint64)
    lib.tarnasm_program_report.argtypes = [handle]
    lib.tarnasm_program_report.restype = ctypes.c_char_p
    lib.tarnasm_program_diagnostic_count.argtypes = [handle]
    lib.tarnasm_program_diagnostic_count.restype = ctypes.c_size_t
    lib.tarnasm_program_diagnostic.argtypes = [handle, ctypes.c_size_t, ctypes.POINTER(Diagnostic)]
    lib.tarnasm_disassemble.argtypes = [ctypes.POINTER(ctypes.c_uint64), ctypes.c_size_t,
                                        ctypes.POINTER(ctypes.c_void_p), ctypes.POINTER(ctypes.c_void_p),
                                        ctypes.POINTER(ctypes.c_size_t)]
    lib.tarnasm_string_free.argtypes = [ctypes.c_void_p]
    lib.tarnasm_addresses_free.argtypes = [ctypes.c_void_p]
    return lib


LIB = load()


def assemble(source, name=b"sweep.tasm"):
    program = ctypes.c_void_p()
    assert LIB.tarnasm_assemble(source, len(source), name, ctypes.byref(program)) == 0
    return program


class CtypesHost(unittest.TestCase):
    def test_words_and_disassembly(self):
        program = assemble(b".DEF GAIN 1000\n  set_awg_gain $GAIN, $GAIN\n  play 0, 1, 100\n  stop\n")
        try:
            self.assertEqual(LIB.tarnasm_program_ok(program), 1)
            count = ctypes.c_size_t()
            words = LIB.tarnasm_program_words(program, ctypes.byref(count))
            self.assertEqual(words[:count.value], [0x5a00000003e803e8, 0x6a00c80000000400, 0x0400000000000000])
            array = (ctypes.c_uint64 * count.value)(*words[:count.value])
            text = ctypes.c_void_p()
            self.assertEqual(LIB.tarnasm_disassemble(array, count.value, ctypes.byref(text), None, None), 0)
            self.assertEqual(ctypes.string_at(text).decode(), "set_awg_gain 1000, 1000\nplay 0, 1, 100\nstop\n")
            LIB.tarnasm_string_free(text)
        finally:
            LIB.tarnasm_program_free(program)

    def test_diagnostics_in_utf8(self):
        # A name and a source line beyond ASCII come back as the same UTF-8 bytes.
        program = assemble("start:  nop\n  jmp @nirgendwo # µs\n".encode(), "µs.tasm".encode())
        try:
            self.assertEqual(LIB.tarnasm_program_ok(program), 0)
            self.assertEqual(LIB.tarnasm_program_error_count(program), 1)
            self.assertEqual(LIB.tarnasm_program_diagnostic_count(program), 1)
            d = Diagnostic()
            self.assertEqual(LIB.tarnasm_program_diagnostic(program, 0, ctypes.byref(d)), 0)
            self.assertEqual((d.file.decode(), d.line, d.column, d.length, d.kind), ("µs.tasm", 2, 7, 9, 10))
            self.assertEqual(d.source_line.decode(), "  jmp @nirgendwo # µs")
            self.assertIn(d.message.decode(), LIB.tarnasm_program_report(program).decode())
            self.assertEqual(LIB.tarnasm_program_diagnostic(program, 1, ctypes.byref(d)), 1)
            self.assertNotEqual(LIB.tarnasm_last_error(), b"")
        finally:
            LIB.tarnasm_program_free(program)

    def test_unknown_words(self):
        array = (ctypes.c_uint64 * 2)(0x0400000000000000, 0xFFFFFFFFFFFFFFFF)
        text, unknown, count = ctypes.c_void_p(), ctypes.c_void_p(), ctypes.c_size_t()
        status = LIB.tarnasm_disassemble(array, 2, ctypes.byref(text), ctypes.byref(unknown), ctypes.byref(count))
        self.assertEqual(status, 5)
        self.assertIsNone(text.value)
        self.assertEqual(ctypes.cast(unknown, ctypes.POINTER(ctypes.c_size_t))[:count.value], [1])
        LIB.tarnasm_addresses_free(unknown)


if __name__ == "__main__":
    unittest.main()
