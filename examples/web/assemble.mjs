// Assembles a program, then a misspelt one, with tarnasm.mjs under node (run it beside tarnasm.mjs).
import { load } from "./tarnasm.mjs";

const tarnasm = await load();
console.log(`tarnasm ${tarnasm.version}`);

const program = tarnasm.assemble("start:  wait 100\n        jmp @start\n", "loop.tasm");
process.stdout.write(tarnasm.writeHex(program.words));

const typo = tarnasm.check("        wiat 100\n        jmp @nowhere\n", "typo.tasm");
for (const d of typo.diagnostics) {
  console.log(`${d.file}:${d.line}:${d.column}: ${d.code}: ${d.message}`);
}
console.log(tarnasm.disassemble(program.words).text.trimEnd());
