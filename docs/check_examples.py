#!/usr/bin/env python3
"""Checks every code example of the manual and the README.

A fenced block is one of:
- console: each "$ command" line is run by bash in a scratch folder (a fresh one per page, holding
  a copy of docs/examples/ and of examples/, where the page's sessions run in order) with the built
  tools first on PATH; the lines after it, up to the next "$ " line, must be exactly what the
  command writes (standard output and error together). Time stamps of log lines and the timing
  report's figures are not compared. A command must exit with status 0: a page that shows a
  failing run shows its status with "; echo $?". python3 is the interpreter the module was built
  for, with the built module on its path.
- text or none: a format, a grammar or a picture, not something to run.
- a directive such as {literalinclude}: an included file must lie where a test runs or checks it;
  an included TOML file must parse.
Any other block (sh, cpp, python, toml, a block without a language, ...) fails the check: nothing
can be shown that no test runs.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tomllib
from pathlib import Path

UNCHECKED = {"text", "none"}
# Files a page may include: each is run or compared by a test (see the page that includes it).
CHECKED_INCLUDES = ("docs/examples/", "docs/errors/examples/", "docs/packages.txt", "examples/",
                    "python/examples/", "editors/")
TIME_STAMP = re.compile(r"[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} ")
# The timing report's measurements, such as 2.839e-03 (a rate over a time too short to measure is inf).
MEASUREMENT = re.compile(r"[0-9]\.[0-9]+e[-+][0-9]+|\binf\b|\bnan\b")
FENCE = re.compile(r"^(```+|:::+)\s*(\S*)(.*)$")


def blocks(text):
    """Yields (line number, info, argument, body lines) of each fenced block, outermost only."""
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        match = FENCE.match(lines[i])
        if not match:
            i += 1
            continue
        fence, info, argument = match.group(1), match.group(2), match.group(3).strip()
        start = i
        body = []
        i += 1
        while i < len(lines) and lines[i].rstrip() != fence:
            body.append(lines[i])
            i += 1
        yield start + 1, info, argument, body
        i += 1


def normalise(text):
    return MEASUREMENT.sub("<measured>", TIME_STAMP.sub("<time> ", text))


def scratch_folder(page, args):
    """A fresh working folder for the sessions of one page, which run in it one after the other."""
    scratch = Path(args.scratch) / page.replace("/", "_")
    shutil.rmtree(scratch, ignore_errors=True)
    shutil.copytree(Path(args.source) / "docs" / "examples", scratch)
    shutil.copytree(Path(args.source) / "examples", scratch / "examples")
    (scratch / ".bin").mkdir()
    (scratch / ".bin" / "python3").symlink_to(args.python)
    return scratch


def run_console(body, where, scratch, args):
    env = dict(os.environ)
    python = scratch / ".bin"
    env["PATH"] = os.pathsep.join(args.path + [str(python), env.get("PATH", "")])
    if args.pythonpath:
        env["PYTHONPATH"] = args.pythonpath
    env["LC_ALL"] = "C.UTF-8"
    problems = []
    commands = []
    updated = []
    for line in body:
        if line.startswith("$ "):
            commands.append((line[2:], []))
        elif commands:
            commands[-1][1].append(line)
        elif line.strip():
            problems.append(f"{where}: output before the first command: {line!r}")
    for command, expected in commands:
        run = subprocess.run(["bash", "-c", command], cwd=scratch, env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
        printed = run.stdout.decode("utf-8", "replace").rstrip("\n")
        updated += ["$ " + command] + (printed.split("\n") if printed else [])
        actual = normalise(printed)
        shown = normalise("\n".join(expected)).rstrip("\n")
        if run.returncode != 0:
            problems.append(f"{where}: `{command}` exited with status {run.returncode}")
        if actual != shown:
            problems.append(f"{where}: `{command}` prints\n{actual}\n--- but the page shows\n{shown}\n---")
    return problems, updated


def check_file(path, args):
    problems = []
    relative = path.relative_to(args.source).as_posix()
    text = path.read_text(encoding="utf-8")
    lines = text.split("\n")
    replacements = []
    scratch = None
    for line, info, argument, body in blocks(text):
        where = f"{relative}:{line}"
        if info == "console":
            scratch = scratch or scratch_folder(relative, args)
            found, updated = run_console(body, where, scratch, args)
            problems += found
            if found:  # a block that matches keeps its time stamps and figures as they are
                replacements.append((line, len(body), updated))
        elif info in UNCHECKED:
            continue
        elif info == "{literalinclude}":
            included = (path.parent / argument).resolve()
            name = included.relative_to(Path(args.source).resolve()).as_posix() if included.is_relative_to(
                Path(args.source).resolve()) else str(included)
            if not included.is_file():
                problems.append(f"{where}: includes {argument}, which does not exist")
            elif not name.startswith(CHECKED_INCLUDES):
                problems.append(f"{where}: includes {name}, which no test runs or checks")
            elif included.suffix == ".toml":
                try:
                    tomllib.loads(included.read_text(encoding="utf-8"))
                except tomllib.TOMLDecodeError as error:
                    problems.append(f"{where}: {name} is no valid TOML: {error}")
        elif info.startswith("{"):
            continue
        else:
            problems.append(f"{where}: a ```{info} block that no test runs; show it as a console session, "
                            "include a tested file, or mark it text if it is not an example")
    if args.update and replacements:
        # From the last block back, so that the earlier blocks' line numbers stay right.
        for line, length, updated in reversed(replacements):
            lines[line:line + length] = updated
        path.write_text("\n".join(lines), encoding="utf-8")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True, help="the root of the source tree")
    parser.add_argument("--scratch", required=True, help="a folder for the sessions' working folders")
    parser.add_argument("--path", action="append", default=[], help="a folder put first on PATH")
    parser.add_argument("--python", default=sys.executable, help="the interpreter run as python3")
    parser.add_argument("--pythonpath", help="where the built module is")
    parser.add_argument("--update", action="store_true",
                        help="write what the sessions print into the pages (review with git diff)")
    args = parser.parse_args()
    # The sessions run in their own folders.
    args.path = [str(Path(folder).resolve()) for folder in args.path]
    if args.pythonpath:
        args.pythonpath = str(Path(args.pythonpath).resolve())
    source = Path(args.source)
    pages = [source / "README.md"] + sorted((source / "docs").rglob("*.md"))
    problems = []
    for page in pages:
        problems += check_file(page, args)
    for problem in problems:
        print(problem)
    print(f"{len(pages)} pages checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
