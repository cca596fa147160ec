// Runs as the page's head is read, before the editor's much larger script: the Worker starts at
// once and compiles and instantiates the module on its own thread, while this one reads and runs
// the editor. playground.js takes the Worker and its readiness from window.tarnasmBoot.

/**
 * The Worker: from beside the page, where it finds the module beside itself; or from the source
 * the single file carries, told the module's bytes as a data: URL.
 */
function startWorker() {
  const source = document.getElementById("tarnasm-worker");
  if (!source) {
    return new Worker("worker.js");
  }
  const wasm = document.getElementById("tarnasm-wasm").textContent.trim();
  const preamble = `self.tarnasmWasmUrl = "data:application/wasm;base64,${wasm}";\n`;
  return new Worker(URL.createObjectURL(new Blob([preamble, source.textContent], { type: "text/javascript" })));
}

const worker = startWorker();
// Resolves to the assembler's version once the Worker can serve.
const ready = new Promise((resolve, reject) => {
  worker.addEventListener("message", (event) => {
    if (event.data.ready) {
      resolve(event.data.version);
    } else if (event.data.failed !== undefined) {
      reject(new Error(event.data.failed));
    }
  });
  worker.addEventListener("error", (event) => reject(new Error(event.message || "the Worker could not start")));
});
// The page reports a failure when it waits for ready; until then it is no unhandled rejection.
ready.catch(() => {});
window.tarnasmBoot = { worker, ready };
