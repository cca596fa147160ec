"""Program: the words in every form a host takes them, and where they came from."""

import copy
import os
import stat

import pytest

import tarnasm
from conftest import needs_numpy, numpy

SOURCE = """\
.DEF LIMIT 100
.DEF ACC   R5
start:  move    $LIMIT, $ACC
loop:   sub     $ACC, 1, $ACC
        jge     $ACC, 1, @loop

end:    stop
"""


@pytest.fixture(scope="module")
def program():
    return tarnasm.assemble(SOURCE, name="count.tasm")


def test_words_in_every_form(program):
    words = program.words
    assert len(program) == len(words) == 4
    assert list(program) == words == program[:] == [program[i] for i in range(4)]
    assert program[-1] == words[3] and program[1:3] == words[1:3]
    assert program.hex == "".join("%016x\n" % word for word in words)
    assert tarnasm.read_hex(program.hex) == words
    assert repr(program) == "<tarnasm.Program 'count.tasm': 4 words>"


def test_notebooks_show_a_listing_and_the_report(program):
    listing = program._repr_html_()
    # One row a word: address, word, line, and the line's text (escaped).
    assert listing.count("<tr><td>") == 4
    assert "<tr><td>1</td><td><code>%016x</code></td><td>4</td><td><pre>loop:   sub     $ACC, 1, $ACC</pre>" \
        % program[1] in listing
    with pytest.raises(tarnasm.AssemblyError) as caught:
        tarnasm.assemble("\tjmp @<b>\n", name="a&b.tasm")
    shown = caught.value._repr_html_()
    assert shown.startswith("<pre") and "a&amp;b.tasm:1:" in shown and "<b>" not in shown
    assert "\n--------^" in shown and repr(caught.value).startswith("AssemblyError(")


def test_names_and_lines(program):
    assert program.labels == {"start": 0, "loop": 1, "end": 3}
    assert list(program.labels) == ["start", "loop", "end"]
    assert program.symbols == {"LIMIT": "100", "ACC": "R5"}
    assert [program.source_line(a) for a in (-1, 0, 1, 2, 3, 4, 2**70)] == [0, 3, 4, 5, 7, 0, 0]


@needs_numpy
def test_numpy_shares_the_words_without_a_copy(program):
    view = numpy.asarray(program)
    assert view.dtype == numpy.uint64 and view.shape == (4,)
    assert view.tolist() == program.words
    assert not view.flags.writeable
    # Two views at the same address: neither is a copy.
    assert view.__array_interface__["data"][0] == numpy.asarray(program).__array_interface__["data"][0]
    assert memoryview(program).format == "Q" and memoryview(program).readonly
    # The view keeps the program alive.
    words, view = program.words, numpy.asarray(tarnasm.assemble(SOURCE))
    assert view.tolist() == words


@needs_numpy
def test_empty_program_has_an_empty_buffer():
    program = tarnasm.assemble("# nothing\n")
    assert len(program) == 0 and numpy.asarray(program).shape == (0,) and program.hex == ""


@needs_numpy
def test_save_hex_replaces_the_file(program, tmp_path):
    target = tmp_path / "count.hex"
    target.write_text("old\n")
    program.save_hex(target)
    assert target.read_text() == program.hex
    assert tarnasm.load_hex(os.fsencode(target)) == program.words
    tarnasm.save_hex(str(target), numpy.asarray(program)[:2])
    assert tarnasm.load_hex(target) == program.words[:2]
    assert os.listdir(tmp_path) == ["count.hex"]


def test_copies_are_whole_programs(program):
    for copied in (copy.copy(program), copy.deepcopy(program)):
        assert copied is not program and copied.words == program.words and copied.labels == program.labels


@pytest.mark.skipif(not hasattr(os, "mkfifo"), reason="no named pipes here")
def test_save_hex_writes_into_a_pipe(program, tmp_path):
    # A pipe (or a device) is written into as a redirection would; it is never replaced.
    target = tmp_path / "pipe.hex"
    os.mkfifo(target)
    fd = os.open(target, os.O_RDWR | os.O_NONBLOCK)
    try:
        program.save_hex(target)
        assert stat.S_ISFIFO(os.stat(target).st_mode)
        assert os.read(fd, 1 << 16).decode() == program.hex
    finally:
        os.close(fd)


def test_source_as_bytes_and_str():
    # Bytes go in as they are, str as UTF-8: the same source either way.
    for source in ("# \u00e4\n\tnop R1\n", "# \u00e4\n\tnop R1\n".encode(), bytearray(b"# \xe4\n\tnop R1\n")):
        with pytest.raises(tarnasm.AssemblyError) as caught:
            tarnasm.assemble(source)
        (d,) = caught.value.diagnostics
        assert (d.file, d.line, d.column, d.source_line, d.kind) == ("<string>", 2, 5, "\tnop R1",
                                                                    "unsupported-operands")
        assert isinstance(caught.value, ValueError)


def test_check_reports_what_an_unresolved_label_hides():
    source = "        jmp @nowhere\n        move 4294967296, R0\n"
    with pytest.raises(tarnasm.AssemblyError) as caught:
        tarnasm.assemble(source)
    assert [(d.line, d.kind) for d in caught.value.diagnostics] == [(1, "undefined-label")]
    assert [(d.line, d.kind) for d in tarnasm.check(source)] == [(1, "undefined-label"),
                                                                 (2, "operand-out-of-range")]
    assert tarnasm.check(b"nop\n", "x.tasm") == []
