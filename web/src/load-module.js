// Inlined into the head of the folder's page: the module's download and compilation begin while
// the page's script is still on its way. playground.js takes the compiled module from here.
window.tarnasmModule = fetch("tarnasm_web.wasm").then((response) => {
  if (!response.ok) {
    throw new Error(`tarnasm_web.wasm: ${response.status} ${response.statusText}`);
  }
  // Compiling while it downloads needs the server to call it application/wasm; not every one does.
  const copy = response.clone();
  return WebAssembly.compileStreaming(response).catch(() => copy.arrayBuffer().then((bytes) => WebAssembly.compile(bytes)));
});
// The page reports a failure when it asks for the module; until then it is no unhandled rejection.
window.tarnasmModule.catch(() => {});
