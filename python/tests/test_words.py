"""Words back to text: disassemble, decode and the .hex format."""

import random

import pytest

import tarnasm
from conftest import needs_numpy, numpy


def operand_text(operand, value):
    return ("R%d" if operand.is_register else "%d") % value


def test_every_variant_round_trips_through_disassemble():
    rng = random.Random(13)
    lines, values = [], []
    for variant in tarnasm.instruction_set():
        for _ in range(12):
            # The ends of each range as often as the values between them.
            chosen = [rng.choice([o.minimum, o.maximum, rng.randint(o.minimum, o.maximum)])
                      for o in variant.operands]
            lines.append(" ".join([variant.mnemonic, ", ".join(map(operand_text, variant.operands, chosen))]).strip())
            values.append((variant.mnemonic, tuple(chosen)))
    program = tarnasm.assemble("\n".join(lines))
    text = tarnasm.disassemble(program)
    assert text.splitlines() == lines
    assert tarnasm.assemble(text).words == program.words
    assert [(d.mnemonic, d.operands) for d in map(tarnasm.decode, program)] == values
    if numpy is not None:
        assert tarnasm.disassemble(numpy.asarray(program)[::3]) == "".join(text.splitlines(True)[::3])


def test_words_that_are_no_instruction():
    good = tarnasm.assemble("stop\n")[0]
    assert tarnasm.decode(good) == tarnasm.DecodedWord(good, 1, 0, "stop", (), "", "stop")
    unknown = tarnasm.decode(2**64 - 1)
    assert unknown.mnemonic is None and unknown.problem and unknown.text == ""
    with pytest.raises(tarnasm.DisassemblyError) as caught:
        tarnasm.disassemble([good, 2**64 - 1, good | 1 << 40, good])
    assert [(u.address, u.word) for u in caught.value.unknown_words] == [(1, 2**64 - 1), (2, good | 1 << 40)]
    assert str(caught.value).startswith("2 words are not an instruction:\n  address 1: 0xffffffffffffffff: ")


@pytest.mark.parametrize("text, line, column", [
    ("0123456789abcdef\n0123\n", 2, 4),
    ("0123456789abcdeg\n", 1, 15),
    ("\n", 1, 0),
    ("0123456789abcdef0\n", 1, 16),
])
def test_malformed_hex(text, line, column, tmp_path):
    with pytest.raises(tarnasm.HexFormatError) as caught:
        tarnasm.read_hex(text)
    assert (caught.value.line, caught.value.column) == (line, column)
    assert str(caught.value).startswith("line %d, column %d: " % (line, column))
    path = tmp_path / "bad.hex"
    path.write_text(text)
    with pytest.raises(tarnasm.HexFormatError, match="^%s: line %d" % (path, line)):
        tarnasm.load_hex(path)


@needs_numpy
def test_hex_text_in_both_cases_and_line_ends():
    assert tarnasm.read_hex(b"00000000000000FF\r\n00000000000000ff") == [255, 255]
    words = numpy.array([255, 2**64 - 1], dtype=numpy.uint64)
    assert tarnasm.write_hex(words) == "00000000000000ff\nffffffffffffffff\n"
