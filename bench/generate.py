#!/usr/bin/env python3
"""Writes the benchmark sources: the reference tarn program of 16384 instructions with an
equivalent x86-64 program for GNU as and llvm-mc, and the sources of the scaling runs."""

import argparse
import random

INSTRUCTIONS = 16384
LABEL_EVERY = 16

# Every mnemonic with operand patterns that its variants accept: 'r' a register, 'i' an
# immediate (with its largest value), 'a' an address label reference.
TARN = [
    ("illegal", []), ("stop", []), ("nop", []),
    ("jmp", ["a"]), ("jmp", ["r"]),
    ("jge", ["r", ("i", 1000), "a"]), ("jlt", ["r", ("i", 1000), "a"]),
    ("loop", ["r", "a"]),
    ("move", [("i", 100000), "r"]), ("move", ["r", "r"]), ("not", [("i", 255), "r"]),
    ("add", ["r", ("i", 4095), "r"]), ("add", ["r", "r", "r"]),
    ("sub", ["r", ("i", 4095), "r"]), ("and", ["r", ("i", 0xFFFF), "r"]),
    ("or", ["r", "r", "r"]), ("xor", ["r", ("i", 0xFF), "r"]),
    ("asl", ["r", ("i", 31), "r"]), ("asr", ["r", "r", "r"]),
    ("sw_req", [("i", 255)]), ("set_mrk", [("i", 15)]), ("reset_ph", []),
    ("set_freq", [("i", 2000000)]), ("set_ph", [("i", 1000000000)]),
    ("set_ph_delta", [("i", 1000)]), ("set_awg_gain", [("i", 32767), ("i", 32767)]),
    ("set_awg_offs", [("i", 3000), ("i", 3000)]), ("upd_param", [("i", 1000)]),
    ("play", [("i", 1023), ("i", 1023), ("i", 1000)]),
    ("acquire", [("i", 31), ("i", 1000), ("i", 1000)]),
    ("acquire_weighed", [("i", 31), ("i", 1000), ("i", 63), ("i", 63), ("i", 1000)]),
    ("acquire_ttl", [("i", 31), ("i", 1000), ("i", 1), ("i", 1000)]),
    ("wait", [("i", 65535)]), ("wait_trigger", [("i", 15), ("i", 1000)]),
    ("wait_sync", [("i", 1000)]), ("latch_rst", [("i", 1000)]),
    ("set_latch_en", [("i", 1), ("i", 1000)]),
    ("set_cond", [("i", 1), ("i", 0x7FFF), ("i", 7), ("i", 1000)]),
    ("set_scope_en", [("i", 1)]), ("set_digital", [("i", 255), ("i", 255), ("i", 1000)]),
    ("set_time_ref", []), ("play_pulse", [("i", 1000), ("i", 1000)]),
    ("acquire_timetags", [("i", 31), ("i", 1000), ("i", 1), ("i", 1000), ("i", 1000)]),
    ("acquire_digital", [("i", 31), "r", ("i", 1000)]),
    ("upd_thres", [("i", 255), ("i", 1000), ("i", 1000)]),
]

# .DEF symbols: (name, value text); each is used where a value of its kind fits.
# Immediate symbols carry their value for the range check: (name, text, value).
SYMBOLS_IMM = [("WAVE", "12", 12), ("COUNT", "0x100", 256), ("BINS", "010", 8), ("ONE", "1", 1)]
SYMBOLS_REG = [("ACC", "R5"), ("IDX", "R17")]

X86_REGS = ["%rax", "%rbx", "%rcx", "%rdx", "%rsi", "%rdi", "%r8", "%r9", "%r10", "%r11"]
X86_OPS = ["add", "sub", "and", "or", "xor", "mov", "cmp", "test"]


def number_text(rng, value):
    """The value in one of the number formats: decimal, hexadecimal, octal."""
    form = rng.randrange(3)
    if form == 1:
        return hex(value)
    if form == 2 and value != 0:
        return "0" + format(value, "o")
    return str(value)


def label(k):
    return "L%d" % k


def reference(tasm_path, s_path, seed=7):
    rng = random.Random(seed)
    tarn, x86 = [], []
    tarn.append("# Reference program: %d instructions" % INSTRUCTIONS)
    x86.append("# Reference program: %d instructions" % INSTRUCTIONS)
    for name, text, _ in SYMBOLS_IMM:
        tarn.append(".DEF %s %s" % (name, text))
        x86.append(".set %s, %s" % (name, text))
    for name, text in SYMBOLS_REG:
        tarn.append(".DEF %s %s" % (name, text))
        x86.append(".set %s, %s" % (name, text[1:]))
    labels = INSTRUCTIONS // LABEL_EVERY
    line_nr = 0
    for n in range(INSTRUCTIONS):
        block = n // LABEL_EVERY
        if n % LABEL_EVERY == 0:
            tarn.append("%s:" % label(block))
            x86.append("%s:" % label(block))
        mnemonic, pattern = TARN[n % len(TARN)]
        args, x86_line = [], None
        for kind in pattern:
            if kind == "r":
                if rng.randrange(8) == 0:
                    args.append("$" + rng.choice(SYMBOLS_REG)[0])
                else:
                    args.append("R%d" % rng.randrange(64))
            elif kind == "a":
                # Forward and backward jumps alike.
                target = (block + rng.choice([-3, -1, 1, 2, 5])) % labels
                args.append("@" + label(target))
                x86_line = "\t%s %s" % (rng.choice(["jmp", "jge", "jl", "jne"]), label(target))
            else:
                # Counts start at 4; every operand with a large range takes that lower bound.
                low = 4 if kind[1] >= 1000 else 0
                fitting = [name for name, _, value in SYMBOLS_IMM if low <= value <= kind[1]]
                if fitting and rng.randrange(8) == 0:
                    args.append("$" + rng.choice(fitting))
                else:
                    args.append(number_text(rng, rng.randint(low, kind[1])))
        text = "\t" + mnemonic + (" " + ", ".join(args) if args else "")
        if x86_line is None:
            op = X86_OPS[n % len(X86_OPS)]
            if rng.randrange(8) == 0:
                src = "$" + rng.choice(SYMBOLS_IMM)[0]
            elif rng.randrange(2):
                src = "$" + number_text(rng, rng.randrange(4096))
            else:
                src = rng.choice(X86_REGS)
            x86_line = "\t%s %s, %s" % (op, src, rng.choice(X86_REGS))
        line_nr += 1
        if line_nr % 5 == 0:
            text += "  # step %d" % n
            x86_line += "  # step %d" % n
        tarn.append(text)
        x86.append(x86_line)
        if n % 64 == 63:
            tarn.append("")
            x86.append("")
    for path, lines in ((tasm_path, tarn), (s_path, x86)):
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")


def scaling(kind, count, path):
    """count lines of one kind: comments, label-only lines, or lines that each give an error."""
    with open(path, "w") as f:
        for n in range(count):
            if kind == "comments":
                f.write("# comment line %d of the scaling source\n" % n)
            elif kind == "labels":
                f.write("label_%d:\n" % n)
            else:
                f.write("\tmove 08%d, R3\n" % n)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    sub = parser.add_subparsers(dest="command", required=True)
    ref = sub.add_parser("reference", help="the tarn program and its x86-64 equivalent")
    ref.add_argument("tasm")
    ref.add_argument("s")
    scale = sub.add_parser("scaling", help="a source of one kind of line")
    scale.add_argument("kind", choices=["comments", "labels", "faulty"])
    scale.add_argument("count", type=int)
    scale.add_argument("path")
    args = parser.parse_args()
    if args.command == "reference":
        reference(args.tasm, args.s)
    else:
        scaling(args.kind, args.count, args.path)


if __name__ == "__main__":
    main()
