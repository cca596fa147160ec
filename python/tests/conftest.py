"""Paths and sources the tests of the Python module share."""

import pathlib

import pytest

try:
    import numpy
except ImportError:  # an interpreter without numpy runs every test that does not need it
    numpy = None

needs_numpy = pytest.mark.skipif(numpy is None, reason="numpy is not installed")

ROOT = pathlib.Path(__file__).resolve().parents[2]
CORPUS = ROOT / "tests" / "corpus"
EXAMPLE = ROOT / "examples" / "amplitude_sweep.tasm"


@pytest.fixture(scope="session")
def example_source():
    return EXAMPLE.read_text()
