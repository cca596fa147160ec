// Types of tarnasm.mjs, the tarn assembler over its C interface in WebAssembly.

/** One place in the error report; a label defined twice gives one per place, same entry. */
export interface Diagnostic {
  /** The source name as the report shows it. */
  file: string;
  /** 1-based line; 0 for an error without a place. */
  line: number;
  /** Byte index of the first marked byte, from 0; -1 when nothing is marked. */
  column: number;
  /** Length of the marked range in bytes. */
  length: number;
  message: string;
  sourceLine: string;
  /** Index of the report entry (the error) this place belongs to. */
  entry: number;
  /** The kind's stable name, such as "unknown-mnemonic". */
  code: string;
}

export interface Program {
  ok: boolean;
  errorCount: number;
  /** The words the .hex file holds; empty when not ok. */
  words: BigUint64Array;
  /** The 1-based source line of the word at each address. */
  lines: Int32Array;
  /** The report as the command line logs it; "" when ok. */
  report: string;
  diagnostics: Diagnostic[];
}

export interface Disassembly {
  /** Text that assembles back into the same words; null when some word is no instruction. */
  text: string | null;
  /** The indexes of the words that are no instruction. */
  unknown: number[];
}

export interface DecodedWord {
  word: bigint;
  opcode: number;
  select: number;
  /** Index into instructionSet(); -1 for none. */
  variant: number;
  operands: bigint[];
  /** "" when assembling text gives this word again; otherwise why not. */
  problem: string;
  /** "mnemonic op, op"; "" when there is a problem. */
  text: string;
}

export interface OperandInfo {
  name: string;
  isRegister: boolean;
  isAddress: boolean;
  msb: number;
  lsb: number;
  minimum: bigint;
  maximum: bigint;
}

export interface VariantInfo {
  mnemonic: string;
  opcode: number;
  select: number;
  /** "R#" a register, "#" an immediate, joined by ","; "" for none. */
  signature: string;
  operands: OperandInfo[];
}

export type Words = BigUint64Array | readonly bigint[];

export interface Tarnasm {
  readonly version: string;
  /** Source as text or as the bytes of a file; name is what the report calls it ("<input>"). */
  assemble(source: string | Uint8Array, name?: string): Program;
  /** As assemble, with every error an editor can show at once. */
  check(source: string | Uint8Array, name?: string): Program;
  disassemble(words: Words): Disassembly;
  decode(word: bigint | number): DecodedWord;
  /** Throws a TarnasmError ("line L, column C: problem") for malformed text. */
  readHex(text: string | Uint8Array): BigUint64Array;
  writeHex(words: Words): string;
  instructionSet(): VariantInfo[];
}

/** A failing call; status is the C interface's tarnasm_status. */
export class TarnasmError extends Error {
  status: number;
}

/** Where the module is not fetched from beside tarnasm.mjs: compiled, or its bytes. */
export interface LoadOptions {
  wasmModule?: WebAssembly.Module;
  wasmBinary?: ArrayBuffer | Uint8Array;
}

export function load(options?: LoadOptions): Promise<Tarnasm>;
