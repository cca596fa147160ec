// The page's Web Worker: the language server's own code, compiled to WebAssembly, fed one message
// body at a time, and the assembler for the page's own calls (the words panel's check, opening a
// .hex), so that typing never waits for either and the page carries no second copy of the module's
// code. The Worker compiles the module as it starts, from beside its own file or, in the single
// file, from the data: URL the page puts before its source (tarnasmWasmUrl); it answers
// { ready, version } once it can serve requests, or { failed } with the reason it cannot.
import createTarnasmModule from "./tarnasm_web.js";
import { load } from "../tarnasm.mjs";

const encoder = new TextEncoder();
const decoder = new TextDecoder();
let server = null;
let assembler = null;
const waiting = [];

function handle(body) {
  const m = server;
  const bytes = encoder.encode(body);
  const pointer = m._malloc(bytes.length + 1);
  m.HEAPU8.set(bytes, pointer);
  const count = m._tarnasm_web_lsp_handle(pointer, bytes.length);
  m._free(pointer);
  if (count < 0) {
    // Out of memory: nothing the client can act on, so say it once and carry on.
    self.postMessage({ error: "the language server ran out of memory" });
    return;
  }
  for (let index = 0; index < count; ++index) {
    const reply = m._tarnasm_web_lsp_reply(index);
    const length = m._tarnasm_web_lsp_reply_length(index);
    self.postMessage({ message: decoder.decode(m.HEAPU8.subarray(reply, reply + length)) });
  }
}

/** What the page may ask of the assembler; each answers with something structured-clone can carry. */
const calls = {
  // The words panel's program: the .hex text rather than the words, which is all the page shows.
  check(source, name) {
    const { words, ...program } = assembler.check(source, name);
    return { ...program, hex: assembler.writeHex(words) };
  },
  disassembleHex: (text) => assembler.disassemble(assembler.readHex(text)),
};

function serve(request) {
  if (request.call === undefined) {
    handle(request.message);
    return;
  }
  try {
    self.postMessage({ reply: request.id, result: calls[request.call](...request.args) });
  } catch (error) {
    self.postMessage({ reply: request.id, error: error.message });
  }
}

async function compileModule(wasmUrl) {
  const response = await fetch(wasmUrl);
  if (!response.ok) {
    throw new Error(`tarnasm_web.wasm: ${response.status} ${response.statusText}`);
  }
  // Compiling while it downloads needs the server to call it application/wasm; not every one does.
  const copy = response.clone();
  try {
    return await WebAssembly.compileStreaming(response);
  } catch {
    return WebAssembly.compile(await copy.arrayBuffer());
  }
}

/** Compiles the module and instantiates it twice: for the server and for the assembler. */
async function start(wasmUrl) {
  const wasmModule = await compileModule(wasmUrl);
  [server, assembler] = await Promise.all([
    createTarnasmModule({
      // The bundle has no import.meta.url to find the module's file by, and needs none.
      locateFile: (file) => file,
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(wasmModule, imports).then((instance) => receive(instance, wasmModule));
        return {};
      },
    }),
    load({ wasmModule }),
  ]);
}

// Started at once, without waiting for a message: messages to a Worker pass through the page's
// thread, which is busy with the editor's script just then.
start(self.tarnasmWasmUrl ?? new URL("tarnasm_web.wasm", self.location.href).href).then(
  () => {
    self.postMessage({ ready: true, version: assembler.version });
    for (const request of waiting.splice(0)) {
      serve(request);
    }
  },
  (error) => self.postMessage({ failed: `the assembler could not be loaded: ${error.message}` }),
);

self.onmessage = (event) => {
  if (server === null) {
    waiting.push(event.data);
  } else {
    serve(event.data);
  }
};
