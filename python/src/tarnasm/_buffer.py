"""WordBuffer: the base of Program, through which memoryview and numpy see its words in place.

A subclass defines _export(), which gives the words as a read-only memoryview. From Python 3.12 a
class exports a buffer with __buffer__. Before it only a type made through the C API can, so on
CPython 3.9 to 3.11 this base is such a type, made at import with ctypes.pythonapi, whose buffer
slot asks _export() and hands out that memoryview's buffer. Elsewhere (PyPy) there is no buffer,
and numpy reads the words through Program.__array_interface__, still without a copy.
"""

import ctypes
import sys


class WordBuffer:
    __slots__ = ()


# The flag of a request for a buffer the caller may write into.
_PyBUF_WRITABLE = 0x0001
_Py_bf_getbuffer = 1
_Py_TPFLAGS_BASETYPE = 1 << 10
_Py_TPFLAGS_HAVE_VERSION_TAG = 1 << 18


class _Slot(ctypes.Structure):
    _fields_ = [("slot", ctypes.c_int), ("pfunc", ctypes.c_void_p)]


class _TypeDescription(ctypes.Structure):
    # PyType_FromSpec's description of the new type.
    _fields_ = [("name", ctypes.c_char_p), ("basicsize", ctypes.c_int), ("itemsize", ctypes.c_int),
                ("flags", ctypes.c_uint), ("slots", ctypes.POINTER(_Slot))]


_getbufferproc = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.py_object, ctypes.c_void_p, ctypes.c_int)


def _make_type():
    api = ctypes.pythonapi
    get_buffer = ctypes.PYFUNCTYPE(ctypes.c_int, ctypes.py_object, ctypes.c_void_p, ctypes.c_int)(
        ("PyObject_GetBuffer", api))

    def getbuffer(exporter, view, flags):
        # A callback cannot raise: an exception here would be printed and the return value left
        # undefined. A request to write is refused with -1 (the caller raises an error, a
        # SystemError where it does not check first): the words are never writable.
        if flags & _PyBUF_WRITABLE:
            return -1
        try:
            return get_buffer(exporter._export(), view, flags)
        except BaseException:  # noqa: B902 - see above
            return -1

    slot = _getbufferproc(getbuffer)
    slots = (_Slot * 2)(_Slot(_Py_bf_getbuffer, ctypes.cast(slot, ctypes.c_void_p)), _Slot(0, None))
    description = _TypeDescription(b"tarnasm._WordBuffer", object.__basicsize__, 0,
                                   _Py_TPFLAGS_BASETYPE | _Py_TPFLAGS_HAVE_VERSION_TAG, slots)
    new_type = ctypes.PYFUNCTYPE(ctypes.py_object, ctypes.POINTER(_TypeDescription))(("PyType_FromSpec", api))
    made = new_type(ctypes.byref(description))
    # The type points at the callback for as long as the process lives.
    made._keep = (slot, slots, description)
    return made


if sys.version_info < (3, 12) and sys.implementation.name == "cpython":
    WordBuffer = _make_type()
