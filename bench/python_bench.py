#!/usr/bin/env python3
"""Measures the Python module in one run: tarnasm.assemble of the bundled example in process
against running the tarnasm executable on the same file with subprocess.run, and one Python
thread against two assembling the reference program (bench/generate.py writes it), beside a
hash that releases the GIL as well; whether numpy sees the words without a copy; and the sizes of
the wheels in a folder. With --baseline, another build of the package (an older release's) is
measured in the same run beside it. Prints tables. Needs the module importable (pip install, or
PYTHONPATH=<build>/python) and the tool."""

import argparse
import glob
import hashlib
import importlib.util
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLE = os.path.join(ROOT, "examples", "amplitude_sweep.tasm")


def median_seconds(call, repetitions, number):
    """Median over the repetitions of the time per call, each repetition timing number calls."""
    call()  # warm up
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        for _ in range(number):
            call()
        times.append((time.perf_counter() - start) / number)
    return statistics.median(times)


def load_baseline(folder):
    """The package in folder (the tarnasm/ directory), imported under another name beside this one."""
    found = importlib.util.spec_from_file_location("tarnasm_baseline", os.path.join(folder, "__init__.py"),
                                                   submodule_search_locations=[folder])
    module = importlib.util.module_from_spec(found)
    sys.modules[found.name] = module
    found.loader.exec_module(module)
    return module


def against_baseline(modules, repetitions):
    """Each module's time for the bundled example and its two-thread gain, side by side."""
    with open(EXAMPLE) as f:
        source = f.read()
    print("\n| module | `assemble(%s)` (median) | / baseline |" % os.path.relpath(EXAMPLE, ROOT))
    print("|---|---:|---:|")
    times = [(name, median_seconds(lambda m=m: m.assemble(source), repetitions, 200)) for name, m in modules]
    for name, seconds in times:
        print("| %s | %.1f µs | %.2f |" % (name, seconds * 1e6, seconds / times[0][1]))
    for name, module in modules:
        one_thread_against_two(module, repetitions, name)


def numpy_sharing(tarnasm):
    try:
        import numpy
    except ImportError:
        print("\nnumpy: not installed here")
        return
    program = tarnasm.assemble(open(EXAMPLE).read())
    first, second = numpy.asarray(program), numpy.asarray(program)
    shared = first.ctypes.data == second.ctypes.data and not first.flags.owndata and not first.flags.writeable
    print("\nnumpy.asarray(program): %s" % ("a read-only view of the words, no copy" if shared else "A COPY"))


def wheel_sizes(folder):
    print("\n| wheel | size |")
    print("|---|---:|")
    for path in sorted(glob.glob(os.path.join(folder, "*.whl"))):
        print("| `%s` | %.2f MB |" % (os.path.basename(path), os.path.getsize(path) / 1e6))


def in_process_against_subprocess(tarnasm, tool, repetitions):
    with open(EXAMPLE) as f:
        source = f.read()
    with tempfile.TemporaryDirectory() as scratch:
        out = os.path.join(scratch, "out")
        rows = [
            ("tarnasm.assemble(text)", median_seconds(lambda: tarnasm.assemble(source), repetitions, 200)),
            ("tarnasm.assemble_file(path).save_hex(out)",
             median_seconds(lambda: tarnasm.assemble_file(EXAMPLE).save_hex(out + ".hex"), repetitions, 200)),
            ("subprocess.run([tarnasm, -o, out, path])",
             median_seconds(lambda: subprocess.run([tool, "-o", out, EXAMPLE], check=True,
                                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL),
                            repetitions, 5)),
        ]
    slowest = rows[-1][1]
    print("\n| %s (%d instructions) | time per program (median) | subprocess time / this |"
          % (os.path.relpath(EXAMPLE, ROOT), len(tarnasm.assemble(source))))
    print("|---|---:|---:|")
    for name, seconds in rows:
        print("| `%s` | %.1f µs | %.0f |" % (name, seconds * 1e6, slowest / seconds))


def calls_per_second(call, threads, seconds):
    """Calls per second made by that many threads together, each calling in a loop, and the
    process's CPU time per call."""
    counts = [0] * threads
    stop = threading.Event()

    def work(index):
        while not stop.is_set():
            call()
            counts[index] += 1

    workers = [threading.Thread(target=work, args=(i,)) for i in range(threads)]
    cpu = os.times()
    start = time.perf_counter()
    for worker in workers:
        worker.start()
    time.sleep(seconds)
    stop.set()
    for worker in workers:
        worker.join()
    elapsed = time.perf_counter() - start
    cpu = sum(os.times()[:2]) - sum(cpu[:2])
    return sum(counts) / elapsed, cpu / sum(counts)


def one_thread_against_two(tarnasm, repetitions, label="tarnasm"):
    with tempfile.TemporaryDirectory() as scratch:
        path = os.path.join(scratch, "big.tasm")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate.py"), "reference", path,
                        os.path.join(scratch, "big.s")], check=True)
        with open(path) as f:
            source = f.read()
    # hashlib also releases the GIL: its gain from a second thread is what the machine gives a
    # second thread at the time, the yardstick for the assembler's on a shared machine. The CPU
    # time per call shows what a second thread costs whatever the machine gives.
    data = os.urandom(8 << 20)
    rows = [("%s.assemble(reference program)" % label, lambda: tarnasm.assemble(source)),
            ("hashlib.sha256(8 MiB), for comparison", lambda: hashlib.sha256(data).digest())]
    print("\n| calls per second (median) | one thread | two threads | two / one | CPU per call: one, two threads |")
    print("|---|---:|---:|---:|---:|")
    for name, call in rows:
        call()  # warm up
        # The two runs take turns, so that a change of load on a shared machine falls on both alike.
        rates = {1: [], 2: []}
        for _ in range(repetitions):
            for threads in rates:
                rates[threads].append(calls_per_second(call, threads, 1.0))
        one, two = (statistics.median(rate for rate, _ in rates[n]) for n in (1, 2))
        cpu_one, cpu_two = (statistics.median(cpu for _, cpu in rates[n]) for n in (1, 2))
        print("| `%s` | %.1f | %.1f | %.2f | %.2f ms, %.2f ms |"
              % (name, one, two, two / one, cpu_one * 1e3, cpu_two * 1e3))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tarnasm", default=os.path.join(ROOT, "build", "bench", "tarnasm"),
                        help="the command-line tool to compare with (default: %(default)s)")
    parser.add_argument("-n", "--repetitions", type=int, default=7)
    parser.add_argument("--baseline", help="another build's tarnasm/ package folder, to measure beside this one")
    parser.add_argument("--wheels", help="a folder of wheels whose sizes to list (such as dist/)")
    args = parser.parse_args()
    import tarnasm
    print("tarnasm %s module: %s" % (tarnasm.__version__, tarnasm.__file__))
    in_process_against_subprocess(tarnasm, args.tarnasm, args.repetitions)
    if args.baseline:
        against_baseline([("baseline", load_baseline(args.baseline)), ("tarnasm", tarnasm)], args.repetitions)
    else:
        one_thread_against_two(tarnasm, args.repetitions)
    numpy_sharing(tarnasm)
    if args.wheels:
        wheel_sizes(args.wheels)


if __name__ == "__main__":
    main()
