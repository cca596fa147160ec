// The playground in headless Chromium: download size, time to ready (beside a page with the editor
// alone), keystroke to diagnostics on the bundled example and on the reference program, and
// assembling in the page against the native library. Prints a table; measurements, not tests.
//   node bench/playground_bench.mjs [--library-bench PATH] [--runs N]
// Needs the wasm preset's build (build/wasm/web/playground), web/node_modules (npm ci in web/) and,
// for the native column, the Release build's library_bench (bench/run_bench.py builds it).
import { execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";
import { serveFolder } from "../web/test/serve.mjs";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..");
const requireFromWeb = createRequire(path.join(root, "web/package.json"));
const puppeteer = requireFromWeb("puppeteer-core");
const esbuild = requireFromWeb("esbuild");
const playground = path.join(root, "build/wasm/web/playground");
const site = path.join(playground, "site");
const args = process.argv.slice(2);
const option = (name, fallback) => (args.includes(name) ? args[args.indexOf(name) + 1] : fallback);
const runs = Number(option("--runs", 7));
const libraryBench = option("--library-bench", path.join(root, "build/bench/bench/library_bench"));

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kib = (bytes) => `${(bytes / 1024).toFixed(0)} KiB`;

const scratch = mkdtempSync(path.join(tmpdir(), "tarnasm-bench-"));
const reference = path.join(scratch, "big.tasm");
execFileSync("python3", [path.join(root, "bench/generate.py"), "reference", reference, path.join(scratch, "big.s")]);
const referenceSource = readFileSync(reference, "utf8");
const exampleSource = readFileSync(path.join(root, "examples/amplitude_sweep.tasm"), "utf8");

console.log("| download | bytes | gzip -9 |\n|---|---|---|");
const siteFiles = ["index.html", "playground.css", "playground.js", "worker.js", "tarnasm_web.wasm"];
let siteRaw = 0;
let siteGzip = 0;
for (const file of siteFiles) {
  const bytes = readFileSync(path.join(site, file));
  siteRaw += bytes.length;
  siteGzip += gzipSync(bytes, { level: 9 }).length;
  console.log(`| ${file} | ${kib(bytes.length)} | ${kib(gzipSync(bytes, { level: 9 }).length)} |`);
}
console.log(`| the folder's page, all | ${kib(siteRaw)} | ${kib(siteGzip)} |`);
const single = readFileSync(path.join(playground, "playground.html"));
console.log(`| playground.html (single file) | ${kib(single.length)} | ${kib(gzipSync(single, { level: 9 }).length)} |`);

const profile = mkdtempSync(path.join(tmpdir(), "tarnasm-chromium-"));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  headless: true,
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--no-first-run", `--user-data-dir=${profile}`],
});
const server = await serveFolder(site);

// The yardstick for the time to ready, on the same machine in the same run: a page with nothing
// but the editor in its usual setup and the example, bundled the same way.
const editorAlone = path.join(scratch, "editor-alone");
mkdirSync(editorAlone);
await esbuild.build({
  stdin: {
    contents: `import { EditorView, basicSetup } from "codemirror";
new EditorView({ parent: document.body, doc: ${JSON.stringify(exampleSource)}, extensions: [basicSetup] });
performance.mark("tarnasm-playground-ready");`,
    resolveDir: path.join(root, "web"),
  },
  bundle: true,
  minify: true,
  format: "iife",
  outfile: path.join(editorAlone, "editor.js"),
});
writeFileSync(path.join(editorAlone, "index.html"),
              '<!DOCTYPE html>\n<meta charset="utf-8">\n<link rel="icon" href="data:,">\n<script src="editor.js" defer></script>\n');
const editorAloneServer = await serveFolder(editorAlone);

/** Milliseconds from navigation to the editor alone's mark. */
async function editorAloneReady() {
  const page = await browser.newPage();
  await page.goto(editorAloneServer.url);
  await page.waitForFunction(() => performance.getEntriesByName("tarnasm-playground-ready").length > 0);
  const ready = await page.evaluate(() => performance.getEntriesByName("tarnasm-playground-ready")[0].startTime);
  await page.close();
  return ready;
}

/** Milliseconds from navigation to ready, and to the first words shown. */
async function timeToReady() {
  const page = await browser.newPage();
  // Noted by the page as it happens: puppeteer's own calls may come after both.
  // The observer watches the whole document only until the panel exists, then the panel alone:
  // the editor's own changes to the page are not to be slowed by it.
  await page.evaluateOnNewDocument(() => {
    let panel = null;
    const observer = new MutationObserver(() => {
      if (panel === null && (panel = document.getElementById("words")) !== null) {
        observer.disconnect();
        observer.observe(panel, { childList: true });
      }
      if (panel?.textContent) {
        window.benchWordsShown = performance.now();
        observer.disconnect();
      }
    });
    observer.observe(document, { childList: true, subtree: true });
  });
  await page.goto(server.url);
  const times = await page.evaluate(async () => {
    await window.tarnasmPlayground.ready;
    while (window.benchWordsShown === undefined) {
      await new Promise((resolve) => requestAnimationFrame(resolve));
    }
    return { ready: performance.getEntriesByName("tarnasm-playground-ready")[0].startTime, words: window.benchWordsShown };
  });
  await page.close();
  return times;
}

/** Milliseconds from a key press to the error marks in the editor and to the error list. */
async function keystrokeToDiagnostics(source, repetitions) {
  const page = await browser.newPage();
  await page.goto(server.url);
  await page.evaluate(() => window.tarnasmPlayground.ready);
  await page.evaluate((text) => window.tarnasmPlayground.setSource(text), source);
  await page.waitForFunction(() => document.querySelectorAll("#diagnostics li").length === 0 && document.querySelector("#words").textContent !== "", { timeout: 120000 });
  // The cursor at the end of the first instruction with an operand: an "x" typed there makes the
  // operand unreadable.
  const line = await page.$$eval(".cm-line", (lines) =>
    lines.findIndex((l) => /^\s*([A-Za-z_]\w*:)?\s+[a-z_]+\s+[^#\s]+$/.test(l.textContent) && !l.textContent.includes(".DEF")));
  // On the line's last character: its left edge can lie under the gutter when the editor has
  // scrolled sideways.
  const point = await page.$$eval(".cm-line", (lines, n) => {
    lines[n].scrollIntoView({ block: "center" });
    const range = document.createRange();
    range.selectNodeContents(lines[n]);
    const rect = [...range.getClientRects()].at(-1);
    return { x: rect.right - 1, y: rect.top + rect.height / 2 };
  }, line);
  await page.mouse.click(point.x, point.y);
  await page.keyboard.press("End");
  // The page notes when a key goes down and when the marks and the list first show an error.
  await page.evaluate(() => {
    const times = (window.benchTimes = { key: 0, marks: 0, list: 0 });
    addEventListener("keydown", () => Object.assign(times, { key: performance.now(), marks: 0, list: 0 }), true);
    new MutationObserver(() => {
      if (!times.marks && document.querySelector(".cm-lintRange-error")) times.marks = performance.now();
      if (!times.list && document.querySelector("#diagnostics li")) times.list = performance.now();
    }).observe(document.body, { childList: true, subtree: true, attributes: true });
  });
  const marks = [];
  const list = [];
  for (let i = 0; i < repetitions; ++i) {
    await page.keyboard.type("x");
    await page.waitForFunction(() => window.benchTimes.marks && window.benchTimes.list, { timeout: 120000 });
    const times = await page.evaluate(() => window.benchTimes);
    marks.push(times.marks - times.key);
    list.push(times.list - times.key);
    await page.keyboard.press("Backspace");
    await page.waitForFunction(() => !document.querySelector(".cm-lintRange-error") && !document.querySelector("#diagnostics li"), { timeout: 120000 });
  }
  await page.close();
  return { editor: median(marks), errors: median(list) };
}

/** Median milliseconds of tarnasm.mjs's assemble in a page. */
async function assembleInPage(source, repetitions) {
  const page = await browser.newPage();
  await page.goto(server.url);
  const result = await page.evaluate(async (text, n) => {
    const { load } = await import("./tarnasm.mjs");
    const tarnasm = await load();
    const times = [];
    for (let i = 0; i < n; ++i) {
      const start = performance.now();
      const program = tarnasm.assemble(text, "big.tasm");
      times.push(performance.now() - start);
      if (!program.ok) throw new Error(program.report);
    }
    // The first calls run the baseline compiler's code, until the optimised code for the hot
    // functions is ready: the first call, and the median of the second half.
    return { first: times[0], settled: times.slice(n / 2).sort((a, b) => a - b)[Math.floor(n / 4)] };
  }, source, repetitions);
  await page.close();
  return result;
}

try {
  // Taken in turns, so that both see the same moments of a busy machine.
  const ready = [];
  const alone = [];
  for (let i = 0; i < runs; ++i) {
    ready.push(await timeToReady());
    alone.push(await editorAloneReady());
  }
  console.log(`\n| page opened (${runs} runs) | first | median |\n|---|---|---|`);
  console.log(`| ready | ${ready[0].ready.toFixed(0)} ms | ${median(ready.map((r) => r.ready)).toFixed(0)} ms |`);
  console.log(`| the example's words shown | ${ready[0].words.toFixed(0)} ms | ${median(ready.map((r) => r.words)).toFixed(0)} ms |`);
  console.log(`| the editor alone with the example, shown | ${alone[0].toFixed(0)} ms | ${median(alone).toFixed(0)} ms |`);

  console.log("\n| key press to diagnostics (median) | marks in the editor | error list |\n|---|---|---|");
  const example = await keystrokeToDiagnostics(exampleSource, runs * 2);
  console.log(`| the example (${exampleSource.split("\n").length - 1} lines) | ${example.editor.toFixed(0)} ms | ${example.errors.toFixed(0)} ms |`);
  const big = await keystrokeToDiagnostics(referenceSource, runs);
  console.log(`| the reference program (${referenceSource.split("\n").length - 1} lines) | ${big.editor.toFixed(0)} ms | ${big.errors.toFixed(0)} ms |`);

  const inPage = await assembleInPage(referenceSource, runs * 6);
  let native = "not measured (no library_bench)";
  try {
    const report = JSON.parse(execFileSync(libraryBench, [reference, "--benchmark_format=json", "--benchmark_repetitions=5",
                                                           "--benchmark_filter=/c/"], { encoding: "utf8" }));
    const medianRow = report.benchmarks.find((b) => b.aggregate_name === "median");
    native = medianRow.real_time * { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 }[medianRow.time_unit];
  } catch (error) {
    console.error(`library_bench: ${error.message.split("\n")[0]}`);
  }
  console.log("\n| assembling the reference program | ms |\n|---|---|");
  console.log(`| tarnasm.mjs in Chromium, the first call | ${inPage.first.toFixed(1)} |`);
  console.log(`| tarnasm.mjs in Chromium, median of later calls | ${inPage.settled.toFixed(1)} |`);
  console.log(`| the C interface, native (median) | ${typeof native === "number" ? native.toFixed(1) : native} |`);
  if (typeof native === "number") {
    console.log(`| ratio, later calls to native | ${(inPage.settled / native).toFixed(2)}x |`);
  }
} finally {
  await browser.close();
  server.close();
  editorAloneServer.close();
  rmSync(profile, { recursive: true, force: true });
  rmSync(scratch, { recursive: true, force: true });
}
