#!/usr/bin/env python3
"""Builds tarnasm in Release, then measures it side by side with GNU as and llvm-mc on the
reference program (wall time and peak resident memory, medians of several runs), the
in-process throughput and the time per line from 1,000 to 1,000,000 lines, the library in process
against the command line, tarndis beside objdump -d on the reference program's words, the Python
module (bench/python_bench.py) and the language server's reply times. Prints tables."""

import argparse
import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import time

import lsp_bench

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "bench")
DATA = os.path.join(BUILD, "data")


def run(cmd, **kwargs):
    return subprocess.run(cmd, check=True, **kwargs)


def build():
    run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
         "-DTARNASM_BUILD_TESTS=OFF", "-DTARNASM_BUILD_BENCH=ON"], stdout=subprocess.DEVNULL)
    run(["cmake", "--build", BUILD, "--", "-j2"], stdout=subprocess.DEVNULL)


def generate():
    os.makedirs(DATA, exist_ok=True)
    generator = os.path.join(ROOT, "bench", "generate.py")
    run([sys.executable, generator, "reference", os.path.join(DATA, "big.tasm"), os.path.join(DATA, "big.s")])


def wall_times(commands, repetitions):
    """Median wall time in seconds of each command. The commands take turns, round after round,
    so that a change of load on a shared machine falls on all of them alike; each runs directly,
    not under a measuring tool."""
    times = [[] for _ in commands]
    for round_ in range(repetitions):
        # Each round starts with the next tool: whichever runs right after a large process (llvm-mc
        # frees 55 MiB) pays a few milliseconds more, and that must not fall on one tool alone.
        for k in range(len(commands)):
            i = (round_ + k) % len(commands)
            start = time.perf_counter()
            run(commands[i], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=DATA)
            times[i].append(time.perf_counter() - start)
    return [statistics.median(t) for t in times]


def peak_memory(cmd, repetitions):
    """Median peak resident memory in KiB, from Linux's accounting as /usr/bin/time reports it
    (the measured process forks from the small time process, not from this interpreter)."""
    sizes = []
    for _ in range(repetitions):
        result = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True, cwd=DATA, check=True)
        sizes.append(int(result.stderr.strip().splitlines()[-1]))
    return statistics.median(sizes)


def count_lines(path):
    with open(path, "rb") as f:
        return f.read().count(b"\n")


def compare(repetitions):
    tarnasm = os.path.join(BUILD, "tarnasm")
    tools = [
        ("tarnasm", [tarnasm, "-o", "big", "big.tasm"], "big.tasm"),
        ("as", ["as", "-o", "big.o", "big.s"], "big.s"),
        ("llvm-mc", ["llvm-mc", "-filetype=obj", "-o", "big-mc.o", "big.s"], "big.s"),
    ]
    present = [tool for tool in tools if shutil.which(tool[1][0]) is not None]
    for name, cmd, _ in tools:
        if shutil.which(cmd[0]) is None:
            print("skipped: %s is not installed" % name)
    commands = [cmd for _, cmd, _ in present]
    wall_times(commands, 2)  # warm the file cache
    seconds = wall_times(commands, repetitions)
    rows = []
    for (name, cmd, source), elapsed in zip(present, seconds):
        memory = peak_memory(cmd, repetitions)
        rows.append((name, elapsed, count_lines(os.path.join(DATA, source)) / elapsed, memory))
    base = rows[0]
    print("\n| program | wall time (median) | lines/s | peak RSS | tarnasm time / this | tarnasm RSS / this |")
    print("|---|---:|---:|---:|---:|---:|")
    for name, seconds, rate, memory in rows:
        print("| %s | %.2f ms | %.2f M | %.1f MiB | %.2f | %.2f |"
              % (name, seconds * 1e3, rate / 1e6, memory / 1024, base[1] / seconds, base[3] / memory))


def in_process():
    bench = os.path.join(BUILD, "bench", "assembler_bench")
    result = run([bench, os.path.join(DATA, "big.tasm"), "--benchmark_format=json",
                  "--benchmark_min_time=0.5"], stdout=subprocess.PIPE, text=True)
    report = json.loads(result.stdout)
    kinds = {"0": "comments", "1": "label-only lines", "2": "faulty lines"}
    scaling = {}
    print()
    for entry in report["benchmarks"]:
        rate = entry["items_per_second"]
        if entry["name"].startswith("BM_ReferenceProgram"):
            print("In process (parse, address assignment, encoding) of big.tasm: %.2f M source lines/s" % (rate / 1e6))
            continue
        parts = dict(part.split(":") for part in entry["name"].split("/")[1:])
        scaling.setdefault(kinds[parts["kind"]], {})[int(parts["lines"])] = 1e9 / rate
    sizes = sorted(next(iter(scaling.values())))
    print("\n| source | " + " | ".join("%d lines" % n for n in sizes) + " | largest / smallest |")
    print("|---|" + "---:|" * (len(sizes) + 1))
    for kind, times in scaling.items():
        print("| %s | " % kind + " | ".join("%.0f ns" % times[n] for n in sizes)
              + " | %.2f |" % (max(times.values()) / min(times.values())))
    print("(time per source line, in process)")


def library(repetitions):
    """The whole call tarnasm::assemble in process against spawning the command line on the same
    file, for the bundled example and the reference program."""
    example = os.path.join(ROOT, "examples", "amplitude_sweep.tasm")
    big = os.path.join(DATA, "big.tasm")
    tarnasm = os.path.join(BUILD, "tarnasm")
    spawned = [[tarnasm, "-o", "lib-run", example], [tarnasm, "-o", "lib-run", big]]
    wall_times(spawned, 2)
    spawn = wall_times(spawned, repetitions)
    bench = os.path.join(BUILD, "bench", "library_bench")
    result = run([bench, example, big, "--benchmark_format=json", "--benchmark_min_time=0.5",
                  "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"],
                 stdout=subprocess.PIPE, text=True)
    report = json.loads(result.stdout)
    medians = [entry["real_time"] * 1e-6 for entry in report["benchmarks"] if entry["name"].endswith("_median")]
    print("\n| input | command line, spawned (median) | tarnasm::assemble in process (median) | spawned / in process |")
    print("|---|---:|---:|---:|")
    for name, outside, inside in zip(["amplitude_sweep.tasm (example)", "big.tasm (16384 instructions)"], spawn, medians):
        print("| %s | %.3f ms | %.3f ms | %.1f |" % (name, outside * 1e3, inside * 1e3, outside / inside))


# ---- tarndis beside objdump ----

def compare_disassemblers(repetitions):
    """tarndis on the reference program's .hex (16384 words) beside objdump -d on the object
    file of its x86-64 equivalent; both write their text to standard output."""
    run([os.path.join(BUILD, "tarnasm"), "-o", "big", "big.tasm"], cwd=DATA,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if shutil.which("as") is None or shutil.which("objdump") is None:
        print("skipped tarndis beside objdump: as or objdump is not installed")
        return
    run(["as", "-o", "big.o", "big.s"], cwd=DATA)
    tools = [("tarndis", [os.path.join(BUILD, "tools", "tarndis", "tarndis"), "big.hex"]),
             ("objdump -d", ["objdump", "-d", "big.o"])]
    commands = [cmd for _, cmd in tools]
    wall_times(commands, 2)  # warm the file cache
    seconds = wall_times(commands, repetitions)
    rows = [(name, elapsed, peak_memory(cmd, repetitions)) for (name, cmd), elapsed in zip(tools, seconds)]
    base = rows[0]
    print("\n| program | wall time (median) | peak RSS | tarndis time / this | tarndis RSS / this |")
    print("|---|---:|---:|---:|---:|")
    for name, elapsed, memory in rows:
        print("| %s | %.2f ms | %.1f MiB | %.2f | %.2f |"
              % (name, elapsed * 1e3, memory / 1024, base[1] / elapsed, base[2] / memory))


def python_module():
    """The Python module in process against the command line, and one Python thread against two."""
    module = os.path.join(BUILD, "python")
    if not os.path.isdir(os.path.join(module, "tarnasm")):
        print("\nskipped: the Python module was not built (TARNASM_BUILD_PYTHON is off)")
        return
    # Debian's interpreter has numpy, which the benchmark's sharing check needs.
    python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
    run([python, os.path.join(ROOT, "bench", "python_bench.py"), "--tarnasm", os.path.join(BUILD, "tarnasm")],
        env=dict(os.environ, PYTHONPATH=module))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("-n", "--repetitions", type=int, default=21)
    parser.add_argument("--no-build", action="store_true", help="use the build made before")
    parser.add_argument("--tarndis-only", action="store_true", help="only tarndis beside objdump")
    args = parser.parse_args()
    if not args.no_build:
        build()
    generate()
    print("Machine: %s, %d cores, %s" % (cpu_name(), os.cpu_count(), platform.platform()))
    if not args.tarndis_only:
        compare(args.repetitions)
        in_process()
        library(args.repetitions)
    compare_disassemblers(args.repetitions)
    if not args.tarndis_only:
        python_module()
        lsp_bench.report([os.path.join(BUILD, "tools", "lsp", "tarnasm-lsp")], os.path.join(DATA, "big.tasm"))


def cpu_name():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"


if __name__ == "__main__":
    main()
