"""The package as a host meets it: version, documentation, stubs, and the manual's example."""

import doctest
import importlib.metadata
import inspect
import pathlib
import pickle
import re
import subprocess
import sys

import pytest

import tarnasm
from conftest import ROOT, needs_numpy
from tarnasm import _core

SWEEP = ROOT / "python" / "examples" / "sweep.py"


def test_version_is_the_projects():
    cmake = (ROOT / "CMakeLists.txt").read_text()
    assert tarnasm.__version__ == re.search(r"project\(tarnasm VERSION ([0-9.]+)", cmake).group(1)
    try:
        assert importlib.metadata.version("tarnasm") == tarnasm.__version__
    except importlib.metadata.PackageNotFoundError:
        pass  # the module of the build tree, not installed


def test_everything_public_is_documented_and_typed():
    undocumented = [name for name in tarnasm.__all__ if name != "__version__"
                    and not inspect.getdoc(getattr(tarnasm, name))]
    undocumented += ["Program." + name for name, member in vars(tarnasm.Program).items()
                     if not name.startswith("_") and not inspect.getdoc(member)]
    assert undocumented == []
    assert tarnasm.Program.__module__ == "tarnasm"
    package = pathlib.Path(tarnasm.__file__).parent
    assert (package / "py.typed").is_file() and (package / "_core.pyi").is_file()


@needs_numpy
def test_sweep_example_prints_what_the_manual_shows():
    page = (ROOT / "docs" / "python.md").read_text()
    for shown in ("sweep.py", "sweep.out"):
        assert f"```{{literalinclude}} ../python/examples/{shown}\n" in page
    result = subprocess.run([sys.executable, str(SWEEP)], capture_output=True, text=True, check=True)
    assert result.stdout == SWEEP.with_suffix(".out").read_text()


def test_module_documentation_examples_and_pickled_errors():
    assert doctest.testmod(tarnasm).failed == 0
    for error in (tarnasm.AssemblyError("report", [tarnasm.Diagnostic("f", 1, 2, 3, "m", "s", 0)], 1, "f"),
                  tarnasm.DisassemblyError("message", [tarnasm.UnknownWord(1, 2, "p")]),
                  tarnasm.HexFormatError("message", 1, 2)):
        copy = pickle.loads(pickle.dumps(error))
        assert (type(copy), str(copy), vars(copy)) == (type(error), str(error), vars(error))


def test_the_library_is_loaded_by_full_path_from_the_package_folder(tmp_path):
    assert (pathlib.Path(_core.__file__).parent / _core.library_name()).is_file()
    # The layout of each wheel, Windows' among them, whatever this platform is.
    loaded = []
    for platform, name in (("win32", "tarnasm.dll"), ("linux", "libtarnasm.so.1"), ("darwin", "libtarnasm.1.dylib")):
        with pytest.raises(ImportError, match="reinstall"):
            _core.load_library(str(tmp_path), platform, loaded.append)
        (tmp_path / name).write_bytes(b"")
        _core.load_library(str(tmp_path), platform, loaded.append)
    assert loaded == [str(tmp_path / name) for name in ("tarnasm.dll", "libtarnasm.so.1", "libtarnasm.1.dylib")]
