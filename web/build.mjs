// Builds the playground from the WebAssembly module: the folder for static hosting and the single
// file with everything inlined.
// usage: node build.mjs MODULE_DIR OUT_DIR VERSION
//   MODULE_DIR holds tarnasm_web.js and tarnasm_web.wasm (the wasm preset's build/wasm/web);
//   OUT_DIR receives site/ (index.html, playground.js, worker.js, playground.css, tarnasm.mjs,
//   tarnasm.d.ts, tarnasm_web.js, tarnasm_web.wasm) and playground.html.
import * as esbuild from "esbuild";
import { copyFileSync, mkdirSync, readFileSync, readdirSync, writeFileSync } from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, "..");
if (process.argv.length !== 5) {
  console.error("usage: node build.mjs MODULE_DIR OUT_DIR VERSION");
  process.exit(2);
}
const [moduleDir, outDir] = process.argv.slice(2, 4).map((p) => path.resolve(p));
const version = process.argv[4];

// The examples menu: the manual's examples, the bundled one first.
const exampleFiles = ["examples/amplitude_sweep.tasm", "docs/examples/first.tasm", "docs/examples/pulses.tasm", "docs/examples/typo.tasm"];
const examples = exampleFiles.map((file) => ({ name: path.basename(file), source: readFileSync(path.join(root, file), "utf8") }));

function sources() {
  return {
    name: "tarnasm-sources",
    setup(build) {
      // tarnasm.mjs and the worker import the emscripten output as a sibling; it lives in the build.
      build.onResolve({ filter: /tarnasm_web\.js$/ }, () => ({ path: path.join(moduleDir, "tarnasm_web.js") }));
      build.onResolve({ filter: /^examples$/ }, (args) => ({ path: args.path, namespace: "generated" }));
      build.onLoad({ filter: /.*/, namespace: "generated" }, () => ({ contents: JSON.stringify(examples), loader: "json" }));
    },
  };
}

const common = {
  bundle: true,
  minify: true,
  format: "iife",
  platform: "browser",
  target: "es2022",
  write: false,
  legalComments: "none",
  // The emscripten output and tarnasm.mjs reach node's modules only when running under node.
  external: ["fs", "path", "crypto", "module", "url", "node:*"],
  // The page always hands the module its bytes, so import.meta.url goes unused.
  logOverride: { "empty-import-meta": "silent" },
};

const bundle = async (entry, options = {}) =>
  esbuild.build({ ...common, ...options, entryPoints: [path.join(here, "src", entry)], plugins: [sources()] });
// Inlined into HTML, a script must not close its own element.
const inlinable = (text) => text.replace(/<\/(script)/gi, "<\\/$1");
const workerSource = inlinable((await bundle("worker.js")).outputFiles[0].text);
const boot = inlinable((await bundle("boot.js")).outputFiles[0].text);
const page = await bundle("playground.js", { metafile: true });

// The licences of the npm packages bundled into the page, which ship with it.
const bundled = new Set();
for (const input of Object.keys(page.metafile.inputs)) {
  const match = /node_modules\/((?:@[^/]+\/)?[^/]+)\//.exec(input);
  if (match) {
    bundled.add(match[1]);
  }
}
const notices = [...bundled].sort().map((name) => {
  const folder = path.join(here, "node_modules", name);
  const licence = readdirSync(folder).find((file) => /^(licen[cs]e|copying)/i.test(file));
  if (!licence) {
    throw new Error(`${name}: no licence file to ship with the page`);
  }
  const { version } = JSON.parse(readFileSync(path.join(folder, "package.json"), "utf8"));
  return `${name} ${version}\n\n${readFileSync(path.join(folder, licence), "utf8").trim()}\n`;
});
const thirdParty = `The playground bundles these packages from npm:\n\n${notices.join("\n----\n\n")}`;
const script = inlinable(page.outputFiles[0].text);
const css = readFileSync(path.join(here, "src/playground.css"), "utf8");
const wasm = readFileSync(path.join(moduleDir, "tarnasm_web.wasm"));
const template = readFileSync(path.join(here, "src/index.html"), "utf8").replaceAll("@VERSION@", version);

const site = path.join(outDir, "site");
mkdirSync(site, { recursive: true });
writeFileSync(path.join(site, "playground.js"), script);
writeFileSync(path.join(site, "worker.js"), workerSource);
writeFileSync(path.join(site, "playground.css"), css);
writeFileSync(path.join(site, "THIRD-PARTY-NOTICES.txt"), thirdParty);
writeFileSync(
  path.join(site, "index.html"),
  template
    .replace("<!-- style -->", '<link rel="stylesheet" href="playground.css">')
    .replace("<!-- boot -->", () => `<script>${boot}</script>`)
    .replace("<!-- script -->", '<script src="playground.js" defer></script>'),
);
for (const [from, name] of [
  [path.join(moduleDir, "tarnasm_web.js"), "tarnasm_web.js"],
  [path.join(moduleDir, "tarnasm_web.wasm"), "tarnasm_web.wasm"],
  [path.join(here, "tarnasm.mjs"), "tarnasm.mjs"],
  [path.join(here, "tarnasm.d.ts"), "tarnasm.d.ts"],
]) {
  copyFileSync(from, path.join(site, name));
}
// Function replacements: the texts hold "$" sequences that a replacement string would expand.
writeFileSync(
  path.join(outDir, "playground.html"),
  template
    .replace("<!-- style -->", () => `<style>\n${css}</style>`)
    // The boot script finds the module's bytes and the Worker's source here, before it.
    .replace(
      "<!-- boot -->",
      () =>
        `<script id="tarnasm-wasm" type="application/octet-stream">${wasm.toString("base64")}</script>\n` +
        `<script id="tarnasm-worker" type="text/plain">${workerSource}</script>\n<script>${boot}</script>`,
    )
    .replace("<!-- script -->", () => `<script>${script}</script>`)
    .replace("</html>", () => `</html>\n<!--\n${thirdParty.replace(/--/g, "- -")}-->\n`),
);
