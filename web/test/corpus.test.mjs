// The corpus through tarnasm.mjs under node: the command line's words and reports, from the
// module the page runs. Argument: the folder holding tarnasm.mjs and the built module.
import assert from "node:assert/strict";
import { readdirSync, readFileSync } from "node:fs";
import path from "node:path";
import { test } from "node:test";
import { fileURLToPath, pathToFileURL } from "node:url";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const corpus = path.join(root, "tests/corpus");
const moduleFolder = process.env.TARNASM_WEB_DIR ?? path.join(root, "build/wasm/web");
const { load, TarnasmError } = await import(pathToFileURL(path.join(moduleFolder, "tarnasm.mjs")).href);
const tarnasm = await load();

const REPORT_PREFIX = "+        tarnasm: ";

function expectedReport(errFile) {
  const lines = readFileSync(errFile, "utf8").split(/(?<=\n)/);
  const status = Number(lines[0].replace("exit: ", ""));
  const start = lines.findIndex((line) => line.startsWith(REPORT_PREFIX));
  return { status, report: lines[start].slice(REPORT_PREFIX.length) + lines.slice(start + 1).join("") };
}

const cases = readdirSync(corpus, { recursive: true })
  .filter((name) => name.endsWith(".tasm"))
  .sort();

test("the corpus is found", () => assert.ok(cases.length > 20));

for (const name of cases) {
  test(name, () => {
    const file = path.join(corpus, name);
    // Bytes, not text: cases hold line ends of every kind and bytes that are no UTF-8.
    const program = tarnasm.assemble(readFileSync(file), path.basename(name));
    if (path.basename(name).startsWith("ok_")) {
      assert.ok(program.ok, program.report);
      assert.equal(tarnasm.writeHex(program.words), readFileSync(file.replace(/\.tasm$/, ".hex"), "utf8"));
      assert.deepEqual(tarnasm.assemble(tarnasm.disassemble(program.words).text).words, program.words);
      return;
    }
    const { status, report } = expectedReport(file.replace(/\.tasm$/, ".err"));
    assert.equal(program.report + "\n", report);
    assert.equal(Math.min(program.errorCount, 255), status);
    assert.deepEqual([...new Set(program.diagnostics.map((d) => d.entry))], [...Array(program.errorCount).keys()]);
    // check reports at least every error assemble does.
    assert.ok(tarnasm.check(readFileSync(file), path.basename(name)).errorCount >= program.errorCount);
  });
}

test("hex text round-trips and malformed text names its place", () => {
  const words = BigUint64Array.of(0n, 0xffffffffffffffffn, 0x0123456789abcdefn);
  assert.deepEqual(tarnasm.readHex(tarnasm.writeHex(words)), words);
  assert.throws(() => tarnasm.readHex("0000000000000000\n00000000000000g0\n"),
                (e) => e instanceof TarnasmError && /line 2, column 14/.test(e.message));
});

test("words that are no instruction are named by index", () => {
  const good = tarnasm.assemble("nop\n").words[0];
  const result = tarnasm.disassemble([good, 0xffffffffffffffffn, good]);
  assert.equal(result.text, null);
  assert.deepEqual(result.unknown, [1]);
  assert.notEqual(tarnasm.decode(0xffffffffffffffffn).problem, "");
});

test("decode and the instruction set agree with the assembler", () => {
  const set = tarnasm.instructionSet();
  assert.ok(set.length > 10);
  for (const [index, variant] of set.entries()) {
    // The largest value of every operand, so a 64-bit field read at a wrong offset shows.
    const operands = variant.operands.map((o) => (o.isRegister ? `R${o.maximum}` : `${o.maximum}`));
    const line = `${variant.mnemonic} ${operands.join(", ")}\n`;
    const program = tarnasm.assemble(line);
    if (!program.ok) {
      continue; // a variant another one of the same signature shadows
    }
    const decoded = tarnasm.decode(program.words[0]);
    assert.equal(decoded.variant, index, line);
    assert.deepEqual(decoded.operands, variant.operands.map((o) => o.maximum), line);
    assert.equal(decoded.problem, "");
  }
});
