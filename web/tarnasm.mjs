// tarnasm.mjs: the tarn assembler in JavaScript, over the C interface compiled to WebAssembly
// (tarnasm_web.js and tarnasm_web.wasm beside this file). Works in a page, a Worker and node.
import createTarnasmModule from "./tarnasm_web.js";

const encoder = new TextEncoder();
// Reports quote source lines as they are; bytes that are no UTF-8 show as U+FFFD.
const decoder = new TextDecoder();

const STATUS_OK = 0;
const STATUS_NOT_AN_INSTRUCTION = 5;

/** A failing call of the C interface: its status and tarnasm_last_error's text. */
export class TarnasmError extends Error {
  constructor(status, message) {
    super(message);
    this.name = "TarnasmError";
    this.status = status;
  }
}

function isNode() {
  return typeof process === "object" && typeof process.versions?.node === "string";
}

async function nodeWasmBinary() {
  // Node's fetch cannot read file: URLs, so the module's bytes are read here.
  const { readFile } = await import("node:fs/promises");
  return readFile(new URL("./tarnasm_web.wasm", import.meta.url));
}

/** Options that make the module instantiate a compiled WebAssembly.Module. */
function instantiating(wasmModule) {
  return {
    // Without it the module works out its file's URL from import.meta.url, which a bundle lacks.
    locateFile: (file) => file,
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(wasmModule, imports).then((instance) => receive(instance, wasmModule));
      return {};
    },
  };
}

/**
 * Loads the module. Where it is not fetched from beside this file, options.wasmModule gives it
 * compiled (a page that runs several instances compiles it once) or options.wasmBinary its bytes
 * (the single-file page carries them inlined).
 */
export async function load(options = {}) {
  if (options.wasmModule) {
    return new Tarnasm(await createTarnasmModule(instantiating(options.wasmModule)));
  }
  const wasmBinary = options.wasmBinary ?? (isNode() ? await nodeWasmBinary() : undefined);
  return new Tarnasm(await createTarnasmModule(wasmBinary ? { wasmBinary, locateFile: (file) => file } : {}));
}

class Tarnasm {
  #m;

  constructor(module) {
    this.#m = module;
    this.version = this.#string(module._tarnasm_version());
  }

  // Memory can grow during any call, which replaces the views: always take them fresh.
  #u8() {
    return this.#m.HEAPU8;
  }
  #view() {
    return new DataView(this.#m.HEAPU8.buffer);
  }

  #string(pointer, length) {
    if (pointer === 0) {
      return "";
    }
    const heap = this.#u8();
    const end = length === undefined ? heap.indexOf(0, pointer) : pointer + length;
    return decoder.decode(heap.subarray(pointer, end));
  }

  /** Runs body with n bytes of module memory, freed afterwards. */
  #withMemory(n, body) {
    const pointer = this.#m._malloc(Math.max(n, 1));
    if (pointer === 0) {
      throw new TarnasmError(2, "out of memory");
    }
    try {
      return body(pointer);
    } finally {
      this.#m._free(pointer);
    }
  }

  #withBytes(bytes, body) {
    return this.#withMemory(bytes.length + 1, (pointer) => {
      this.#u8().set(bytes, pointer);
      this.#u8()[pointer + bytes.length] = 0;
      return body(pointer, bytes.length);
    });
  }

  #withWords(words, body) {
    const list = BigUint64Array.from(words);
    return this.#withMemory(list.length * 8, (pointer) => {
      new BigUint64Array(this.#u8().buffer, pointer, list.length).set(list);
      return body(pointer, list.length);
    });
  }

  #check(status) {
    if (status !== STATUS_OK) {
      throw new TarnasmError(status, this.#string(this.#m._tarnasm_last_error()));
    }
  }

  #program(cFunction, source, name) {
    const bytes = typeof source === "string" ? encoder.encode(source) : source;
    const nameBytes = encoder.encode(name ?? "<input>");
    return this.#withBytes(bytes, (text, length) =>
      this.#withBytes(nameBytes, (namePointer) =>
        this.#withMemory(4, (out) => {
          this.#check(cFunction(text, length, namePointer, out));
          const program = this.#view().getUint32(out, true);
          try {
            return this.#result(program);
          } finally {
            this.#m._tarnasm_program_free(program);
          }
        }),
      ),
    );
  }

  #result(program) {
    const m = this.#m;
    const { words, lines } = this.#withMemory(4, (countPointer) => {
      const pointer = m._tarnasm_program_words(program, countPointer);
      const count = this.#view().getUint32(countPointer, true);
      const copied = count === 0 ? new BigUint64Array(0) : new BigUint64Array(this.#u8().buffer.slice(pointer, pointer + count * 8));
      const sourceLines = new Int32Array(count);
      for (let address = 0; address < count; ++address) {
        sourceLines[address] = m._tarnasm_program_source_line(program, address);
      }
      return { words: copied, lines: sourceLines };
    });
    const diagnostics = [];
    const count = m._tarnasm_program_diagnostic_count(program);
    this.#withMemory(32, (d) => {
      for (let index = 0; index < count; ++index) {
        this.#check(m._tarnasm_program_diagnostic(program, index, d));
        const v = this.#view();
        const kind = v.getInt32(d + 28, true);
        diagnostics.push({
          file: this.#string(v.getUint32(d, true)),
          line: v.getInt32(d + 4, true),
          column: v.getInt32(d + 8, true),
          length: v.getInt32(d + 12, true),
          message: this.#string(v.getUint32(d + 16, true)),
          sourceLine: this.#string(v.getUint32(d + 20, true)),
          entry: v.getInt32(d + 24, true),
          code: this.#string(m._tarnasm_diagnostic_code(kind)),
        });
      }
    });
    return {
      ok: m._tarnasm_program_ok(program) === 1,
      errorCount: m._tarnasm_program_error_count(program),
      words,
      lines,
      report: this.#string(m._tarnasm_program_report(program)),
      diagnostics,
    };
  }

  /** Assembles source (a string, or the bytes of a file); name is what the report calls it. */
  assemble(source, name) {
    return this.#program(this.#m._tarnasm_assemble, source, name);
  }

  /** As assemble, with every error an editor can show at once. */
  check(source, name) {
    return this.#program(this.#m._tarnasm_check, source, name);
  }

  /** Assembly text for the words, or the indexes of the words that are no instruction. */
  disassemble(words) {
    const m = this.#m;
    return this.#withWords(words, (pointer, count) =>
      this.#withMemory(12, (out) => {
        const textOut = out;
        const unknownOut = out + 4;
        const unknownCountOut = out + 8;
        const status = m._tarnasm_disassemble(pointer, count, textOut, unknownOut, unknownCountOut);
        const v = this.#view();
        if (status === STATUS_NOT_AN_INSTRUCTION) {
          const unknown = v.getUint32(unknownOut, true);
          const n = v.getUint32(unknownCountOut, true);
          const indexes = Array.from(new Uint32Array(this.#u8().buffer, unknown, n));
          m._tarnasm_addresses_free(unknown);
          return { text: null, unknown: indexes };
        }
        this.#check(status);
        const text = v.getUint32(textOut, true);
        try {
          return { text: this.#string(text), unknown: [] };
        } finally {
          m._tarnasm_string_free(text);
        }
      }),
    );
  }

  /** One word taken apart: opcode, select, variant, operands, and text or the problem. */
  decode(word) {
    const m = this.#m;
    return this.#withMemory(48, (out) => {
      const handleOut = out + 40;
      this.#check(m._tarnasm_decode(BigInt.asUintN(64, BigInt(word)), handleOut, out));
      const v = this.#view();
      const handle = v.getUint32(handleOut, true);
      try {
        const operands = v.getUint32(out + 20, true);
        const operandCount = v.getUint32(out + 24, true);
        return {
          word: v.getBigUint64(out, true),
          opcode: v.getUint32(out + 8, true),
          select: v.getUint32(out + 12, true),
          variant: v.getInt32(out + 16, true),
          operands: Array.from({ length: operandCount }, (_, i) => v.getBigInt64(operands + 8 * i, true)),
          problem: this.#string(v.getUint32(out + 28, true)),
          text: this.#string(v.getUint32(out + 32, true)),
        };
      } finally {
        m._tarnasm_decoded_free(handle);
      }
    });
  }

  /** The words of .hex text; throws a TarnasmError naming line and column for malformed text. */
  readHex(text) {
    const m = this.#m;
    const bytes = typeof text === "string" ? encoder.encode(text) : text;
    return this.#withBytes(bytes, (pointer, length) =>
      this.#withMemory(8, (out) => {
        this.#check(m._tarnasm_read_hex(pointer, length, out, out + 4));
        const v = this.#view();
        const words = v.getUint32(out, true);
        const count = v.getUint32(out + 4, true);
        const copy = count === 0 ? new BigUint64Array(0) : new BigUint64Array(this.#u8().buffer.slice(words, words + 8 * count));
        m._tarnasm_words_free(words);
        return copy;
      }),
    );
  }

  /** The .hex text of the words: 16 lower-case digits and a line feed each. */
  writeHex(words) {
    const m = this.#m;
    return this.#withWords(words, (pointer, count) =>
      this.#withMemory(4, (out) => {
        this.#check(m._tarnasm_write_hex(pointer, count, out));
        const text = this.#view().getUint32(out, true);
        try {
          return this.#string(text);
        } finally {
          m._tarnasm_string_free(text);
        }
      }),
    );
  }

  /** Every variant of the instruction set with its operands, ordered by opcode and select. */
  instructionSet() {
    const m = this.#m;
    const variants = [];
    this.#withMemory(40, (out) => {
      const count = m._tarnasm_variant_count();
      for (let index = 0; index < count; ++index) {
        this.#check(m._tarnasm_variant(index, out));
        let v = this.#view();
        const variant = {
          mnemonic: this.#string(v.getUint32(out, true)),
          opcode: v.getUint32(out + 4, true),
          select: v.getUint32(out + 8, true),
          signature: this.#string(v.getUint32(out + 12, true)),
          operands: [],
        };
        const operandCount = v.getUint32(out + 16, true);
        for (let operand = 0; operand < operandCount; ++operand) {
          this.#check(m._tarnasm_variant_operand(index, operand, out));
          v = this.#view();
          variant.operands.push({
            name: this.#string(v.getUint32(out, true)),
            isRegister: v.getInt32(out + 4, true) === 1,
            isAddress: v.getInt32(out + 8, true) === 1,
            msb: v.getInt32(out + 12, true),
            lsb: v.getInt32(out + 16, true),
            minimum: v.getBigInt64(out + 24, true),
            maximum: v.getBigInt64(out + 32, true),
          });
        }
        variants.push(variant);
      }
    });
    return variants;
  }
}
