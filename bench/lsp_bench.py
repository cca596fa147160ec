#!/usr/bin/env python3
"""Drives the real tarnasm-lsp over pipes on the reference program (16384 instructions): the time
from a didChange notification to its published diagnostics (the server checks the whole document),
of a hover, of formatting and of the semantic tokens of the whole document, medians of many rounds.
Builds Release into build/bench unless given a server; writes big.tasm with generate.py."""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "bench")
URI = "file:///bench/big.tasm"


class Server:
    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.next_id = 1

    def send(self, message):
        body = json.dumps(message).encode()
        self.process.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        self.process.stdin.flush()

    def read(self):
        return json.loads(self.read_body())

    def read_body(self):
        length = None
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError("the server ended")
            line = line.strip()
            if not line:
                break
            name, _, value = line.partition(b":")
            if name.lower() == b"content-length":
                length = int(value)
        return self.process.stdout.read(length)

    def request(self, method, params):
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params})
        self.next_id += 1
        while True:
            message = self.read()
            if "id" in message and "method" not in message:
                return message

    def notify(self, method, params):
        self.send({"jsonrpc": "2.0", "method": method, "params": params})

    def diagnostics(self):
        while True:
            message = self.read()
            if message.get("method") == "textDocument/publishDiagnostics":
                return message["params"]

    def close(self):
        self.request("shutdown", None)
        self.notify("exit", None)
        self.process.wait()


def find_instruction(lines):
    """A line that writes a plain immediate operand that can be changed in place, and a line with
    an @label reference for the hover."""
    edit = hover = None
    for number, line in enumerate(lines):
        code = line.split("#")[0]
        if edit is None and code.split()[:1] == ["wait"] and code.split()[1].isdigit():
            column = code.index(code.split()[1])
            edit = (number, column, len(code.split()[1]))
        if hover is None and "@" in code:
            hover = (number, code.index("@") + 1)
    return edit, hover


def measure(server_command, source_path, rounds, semantic_tokens=True):
    with open(source_path) as f:
        text = f.read()
    lines = text.split("\n")
    (edit_line, edit_column, edit_length), (hover_line, hover_column) = find_instruction(lines)
    server = Server(server_command)
    capabilities = server.request("initialize", {"processId": None, "capabilities": {}})["result"]["capabilities"]
    # A server from before semantic tokens is measured on the rest, for comparison.
    semantic_tokens = semantic_tokens and "semanticTokensProvider" in capabilities
    server.notify("initialized", {})
    server.notify("textDocument/didOpen", {"textDocument": {"uri": URI, "languageId": "tarn", "version": 1, "text": text}})
    assert server.diagnostics()["diagnostics"] == [], "the reference program must assemble"

    change_times = []
    hover_times = []
    format_times = []
    token_times = []
    for i in range(rounds):
        # Each change writes another valid value, so the document stays valid.
        value = "100" if i % 2 == 0 else "101"
        change = {"range": {"start": {"line": edit_line, "character": edit_column},
                            "end": {"line": edit_line, "character": edit_column + edit_length}}, "text": value}
        start = time.perf_counter()
        server.notify("textDocument/didChange", {"textDocument": {"uri": URI, "version": i + 2}, "contentChanges": [change]})
        published = server.diagnostics()
        change_times.append(time.perf_counter() - start)
        assert published["version"] == i + 2 and published["diagnostics"] == [], published
        edit_length = len(value)

        start = time.perf_counter()
        reply = server.request("textDocument/hover", {"textDocument": {"uri": URI},
                                                      "position": {"line": hover_line, "character": hover_column}})
        hover_times.append(time.perf_counter() - start)
        assert reply["result"] is not None, reply

        # The reference program indents with tabs, so nearly every line gets an edit: the worst case.
        start = time.perf_counter()
        reply = server.request("textDocument/formatting", {"textDocument": {"uri": URI},
                                                           "options": {"tabSize": 8, "insertSpaces": True}})
        format_times.append(time.perf_counter() - start)
        assert len(reply["result"]) > 0, reply

        if semantic_tokens:
            # Timed to the last byte of the reply: Python's json takes longer to read a quarter
            # million numbers than the server takes to make them, and an editor's parser is native.
            start = time.perf_counter()
            server.send({"jsonrpc": "2.0", "id": server.next_id, "method": "textDocument/semanticTokens/full",
                         "params": {"textDocument": {"uri": URI}}})
            server.next_id += 1
            body = server.read_body()
            token_times.append(time.perf_counter() - start)
            reply = json.loads(body)
            assert len(reply["result"]["data"]) > 5 * 16384, "every instruction has tokens"
    server.close()
    return change_times, hover_times, format_times, token_times


def command_line_time(tarnasm, source_path, rounds):
    """Median wall time of the command line on the same source, for scale: on a loaded machine both
    grow alike, and the assembling is most of a change's time."""
    times = []
    for _ in range(rounds):
        start = time.perf_counter()
        subprocess.run([tarnasm, "-l", "quiet", "-o", os.path.join(os.path.dirname(source_path), "lsp-bench"),
                        source_path], check=True, stdout=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def report(server_command, source_path, rounds=50):
    change_times, hover_times, format_times, token_times = measure(server_command, source_path, rounds)
    tarnasm = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(server_command[0]))), "tarnasm")
    with open(source_path) as f:
        line_count = f.read().count("\n")
    print("\ntarnasm-lsp on big.tasm (%d lines, 16384 instructions), %d rounds over pipes:" % (line_count, rounds))
    print("| step | median | 90th percentile | goal |")
    print("|---|---:|---:|---:|")
    for name, times, goal in (("didChange to publishDiagnostics", change_times, 30),
                              ("hover request to response", hover_times, 5),
                              ("formatting request to response", format_times, 50),
                              ("semanticTokens/full request to the reply's last byte", token_times, 20)):
        if not times:
            continue
        ordered = sorted(times)
        print("| %s | %.2f ms | %.2f ms | %d ms |" % (name, statistics.median(times) * 1e3,
                                                    ordered[int(len(ordered) * 0.9) - 1] * 1e3, goal))
    if os.path.exists(tarnasm):
        print("(for scale, at the same time: `tarnasm -o big big.tasm` as a whole process, median %.2f ms)"
              % (command_line_time(tarnasm, source_path, 11) * 1e3))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--server", help="the tarnasm-lsp executable (default: build Release into build/bench)")
    parser.add_argument("-n", "--rounds", type=int, default=50)
    args = parser.parse_args()
    server = args.server
    if server is None:
        subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        "-DTARNASM_BUILD_TESTS=OFF", "-DTARNASM_BUILD_BENCH=ON"], check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", BUILD, "--target", "tarnasm-lsp", "tarnasm"], check=True,
                       stdout=subprocess.DEVNULL)
        server = os.path.join(BUILD, "tools", "lsp", "tarnasm-lsp")
    data = os.path.join(BUILD, "data")
    os.makedirs(data, exist_ok=True)
    source = os.path.join(data, "big.tasm")
    subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate.py"), "reference", source,
                    os.path.join(data, "big.s")], check=True)
    report([server], source, args.rounds)


if __name__ == "__main__":
    main()
