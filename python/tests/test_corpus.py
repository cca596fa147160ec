"""The corpus run through the module: the command line's words and reports, in process."""

import pytest

import tarnasm
from conftest import CORPUS

CASES = sorted(CORPUS.glob("*/*.tasm"))
REPORT_PREFIX = "+        tarnasm: "


def expected_report(err_file):
    """The exit status and the report a .err file holds: the text of the log line that starts
    the report and every line after it."""
    lines = err_file.read_text().splitlines(keepends=True)
    status = int(lines[0].removeprefix("exit: "))
    start = next(i for i, line in enumerate(lines) if line.startswith(REPORT_PREFIX))
    return status, lines[start][len(REPORT_PREFIX):] + "".join(lines[start + 1:])


def picture(d):
    """A place as the report draws it: location, message, the line and the marks under it."""
    if d.line == 0:
        return d.message
    marks = "" if d.column < 0 else "\n" + "-" * d.column + "^" * d.length
    return "%s:%d:%d: %s: \n%s%s" % (d.file, d.line, d.column, d.message, d.source_line, marks)


def test_corpus_is_found():
    # An empty list would leave the cases below skipped, not failed.
    assert len(CASES) > 20


@pytest.mark.parametrize("via", ["text", "file"])
@pytest.mark.parametrize("case", CASES, ids=lambda path: "%s/%s" % (path.parent.name, path.stem))
def test_corpus_case(case, via, monkeypatch):
    monkeypatch.chdir(case.parent)
    if via == "text":
        run = lambda: tarnasm.assemble(case.read_bytes(), name=case.name)  # noqa: E731
    else:
        run = lambda: tarnasm.assemble_file(case.name)  # noqa: E731
    if case.name.startswith("ok_"):
        program = run()
        assert program.hex == case.with_suffix(".hex").read_text()
        assert program.name == case.name
        assert tarnasm.assemble(tarnasm.disassemble(program)).words == program.words
        return
    status, report = expected_report(case.with_suffix(".err"))
    with pytest.raises(tarnasm.AssemblyError) as caught:
        run()
    error = caught.value
    assert str(error) + "\n" == report
    assert min(error.error_count, 255) == status
    assert sorted({d.entry for d in error.diagnostics}) == list(range(error.error_count))
    # Every place, drawn from its Diagnostic, is in the report in the same order.
    position = 0
    for d in error.diagnostics:
        position = report.index(picture(d), position) + 1
