"""Paths and sources the tests of the Python module share."""

import pathlib

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
CORPUS = ROOT / "tests" / "corpus"
EXAMPLE = ROOT / "examples" / "amplitude_sweep.tasm"


@pytest.fixture(scope="session")
def example_source():
    return EXAMPLE.read_text()
