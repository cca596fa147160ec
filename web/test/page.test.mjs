// The playground in headless Chromium: served as the static folder and opened as the single file.
// Environment: TARNASM_SITE (the folder), TARNASM_SINGLE_FILE (the single file), both by default
// from the wasm preset's build; CHROMIUM (default /usr/bin/chromium).
import assert from "node:assert/strict";
import { cpSync, mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";
import { fileURLToPath, pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";
import { serveFolder } from "./serve.mjs";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const playground = path.join(root, "build/wasm/web/playground");
const site = path.resolve(process.env.TARNASM_SITE ?? path.join(playground, "site"));
const singleFile = path.resolve(process.env.TARNASM_SINGLE_FILE ?? path.join(playground, "playground.html"));
const exampleHex = readFileSync(path.join(root, "tests/corpus/examples/ok_amplitude_sweep.hex"), "utf8");

let browser;
let server;
let profile;

before(async () => {
  profile = mkdtempSync(path.join(tmpdir(), "tarnasm-chromium-"));
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true,
    args: [
      "--headless",
      "--no-sandbox",
      "--disable-gpu",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--no-first-run",
      `--user-data-dir=${profile}`,
    ],
  });
  server = await serveFolder(site);
});

after(async () => {
  await browser?.close();
  server?.close();
  rmSync(profile, { recursive: true, force: true });
});

async function open(url = server.url) {
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error));
  await page.goto(url);
  await page.evaluate(() => window.tarnasmPlayground.ready);
  page.errors = errors;
  return page;
}

/** Replaces the source; the panels and the editor's marks follow asynchronously. */
function setSource(page, text) {
  return page.evaluate((t) => window.tarnasmPlayground.setSource(t), text);
}

const wordsText = (page) => page.$eval("#words", (e) => e.textContent);
const diagnosticPlaces = (page) =>
  page.$$eval("#diagnostics li", (items) => items.map((li) => `${li.dataset.line}:${li.dataset.column}:${li.dataset.code}`));

/** The middle of the first occurrence of text in the editor, in page coordinates. */
function pointAt(page, text) {
  return page.evaluate((t) => {
    const walker = document.createTreeWalker(document.querySelector(".cm-content"), NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      const at = node.data.indexOf(t);
      if (at >= 0) {
        const range = document.createRange();
        range.setStart(node, at);
        range.setEnd(node, at + t.length);
        const rect = range.getBoundingClientRect();
        return { x: rect.left + rect.width / 2, y: rect.top + rect.height / 2 };
      }
    }
    throw new Error(`no "${t}" in the editor`);
  }, text);
}

/** Clicks on the first occurrence of text; the pointer then leaves, lest its hover tooltip cover the text. */
async function clickOn(page, text) {
  const point = await pointAt(page, text);
  await page.mouse.click(point.x, point.y);
  await page.mouse.move(0, 0);
}

/** Puts the cursor at the end of the given 1-based line. */
async function cursorAtEndOf(page, line) {
  const point = await page.$eval(`.cm-line:nth-child(${line})`, (e) => {
    const rect = e.getBoundingClientRect();
    return { x: rect.left + 2, y: rect.top + rect.height / 2 };
  });
  await page.mouse.click(point.x, point.y);
  await page.keyboard.press("End");
}

test("the example's words are the native .hex, and so is the downloaded file", async () => {
  const page = await open();
  await page.waitForFunction((hex) => document.querySelector("#words").textContent === hex, {}, exampleHex);
  const downloads = mkdtempSync(path.join(tmpdir(), "tarnasm-download-"));
  try {
    const session = await page.createCDPSession();
    await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
    await page.click("#download-hex");
    const deadline = Date.now() + 10000;
    while (!readdirSync(downloads).some((name) => name.endsWith(".hex")) && Date.now() < deadline) {
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    const [name] = readdirSync(downloads).filter((file) => file.endsWith(".hex"));
    assert.equal(name, "amplitude_sweep.hex");
    assert.deepEqual(readFileSync(path.join(downloads, name)), Buffer.from(exampleHex));
  } finally {
    rmSync(downloads, { recursive: true, force: true });
  }
  // A word shows its source line; the server's tokens colour the labels.
  await page.click("#words span:nth-child(3)");
  const line = Number(await page.$eval("#words span:nth-child(3)", (e) => e.dataset.line));
  const exampleLines = readFileSync(path.join(root, "examples/amplitude_sweep.tasm"), "utf8").split("\n");
  assert.equal(await page.$eval(".cm-activeLine", (e) => e.textContent), exampleLines[line - 1]);
  await page.waitForFunction(() => [...document.querySelectorAll(".tok-tarn-function")].some((e) => e.textContent === "start"));
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("errors are listed and marked where they are", async () => {
  const page = await open();
  // An unknown mnemonic after a label, an undefined label, an operand out of range: check reports
  // all three though assembling would stop at the label.
  await setSource(page, "start:  nopp\n        jmp @nowhere\n        wait 99999999\n");
  await page.waitForFunction(() => document.querySelectorAll("#diagnostics li").length === 3);
  assert.deepEqual(await diagnosticPlaces(page), ["1:8:unknown-mnemonic", "2:13:undefined-label", "3:13:operand-out-of-range"]);
  assert.equal(await wordsText(page), "");
  // The editor marks the same places through the language server.
  await page.waitForFunction(() => document.querySelectorAll(".cm-lintRange-error").length === 3);
  const marked = await page.$$eval(".cm-lintRange-error", (ranges) => ranges.map((r) => r.textContent));
  assert.deepEqual(marked, ["nopp", "nowhere", "99999999"]);
  // A click on an error shows its line.
  await page.click("#diagnostics li:nth-child(2) button");
  assert.equal(await page.evaluate(() => document.querySelector(".cm-activeLine").textContent), "        jmp @nowhere");
  await page.close();
});

test("hover, completion, formatting and a quick fix", async () => {
  const page = await open();
  await setSource(page, "start: jmp @start\n");
  await page.waitForFunction(() => document.querySelector("#words").textContent.length === 17);

  // Hover over the mnemonic.
  const jmp = await pointAt(page, "jmp");
  await page.mouse.move(jmp.x, jmp.y);
  await page.waitForSelector(".cm-tooltip-hover", { timeout: 5000 });
  assert.match(await page.$eval(".cm-tooltip-hover", (e) => e.textContent), /jmp/);
  await page.mouse.move(0, 0);

  // Completion of @st: the label once, its sigil typed once.
  await cursorAtEndOf(page, 1);
  await page.keyboard.type("\n       jmp @st");
  // The list comes from the server after the text is typed; Enter before it would add a line.
  await page.waitForFunction(() => document.querySelector(".cm-tooltip-autocomplete li[aria-selected]")?.textContent.includes("start"));
  const options = await page.$$eval(".cm-tooltip-autocomplete li", (items) => items.map((li) => li.textContent));
  assert.equal(options.filter((o) => o.includes("start")).length, 1, options.join("|"));
  // The editor takes no Enter for a list shown less than its interaction delay (75 ms) ago: a
  // key pressed as the list appears is a line end, as for a typist.
  await new Promise((resolve) => setTimeout(resolve, 200));
  await page.keyboard.press("Enter");
  const completed = "start: jmp @start\n       jmp @start\n";
  await page.waitForFunction((text) => window.tarnasmPlayground.source() === text, { timeout: 5000 }, completed);

  // Formatting through the server (Shift-Alt-f).
  await page.keyboard.down("Shift");
  await page.keyboard.down("Alt");
  await page.keyboard.press("KeyF");
  await page.keyboard.up("Alt");
  await page.keyboard.up("Shift");
  await page.waitForFunction(() => window.tarnasmPlayground.source().startsWith("start:  jmp"));
  assert.equal(await page.evaluate(() => window.tarnasmPlayground.source()), "start:  jmp          @start\n        jmp          @start\n");

  // A quick fix: the nearest mnemonic for a misspelt one, applied from the error's tooltip.
  await setSource(page, "        stpo\n");
  await page.waitForSelector(".cm-lintRange-error");
  const mark = await page.$eval(".cm-lintRange-error", (e) => {
    const rect = e.getBoundingClientRect();
    return { x: rect.left + 4, y: (rect.top + rect.bottom) / 2 };
  });
  await page.mouse.move(mark.x, mark.y);
  await page.waitForSelector(".cm-diagnosticAction", { timeout: 5000 });
  const actions = await page.$$eval(".cm-diagnosticAction", (buttons) => buttons.map((b) => b.textContent));
  const stop = actions.findIndex((a) => /\bstop\b/.test(a));
  assert.ok(stop >= 0, actions.join("|"));
  await (await page.$$(".cm-diagnosticAction"))[stop].click();
  await page.waitForFunction(() => window.tarnasmPlayground.source() === "        stop\n");
  await page.waitForFunction(() => document.querySelectorAll("#diagnostics li").length === 0);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("go to definition, rename and signature help", async () => {
  const page = await open();
  await setSource(page, "start:  jmp @loop\nloop:   wait 4\n        jmp @loop\n");
  // The server's colours: it has started and has the text, so typing now triggers its help.
  await page.waitForFunction(() => [...document.querySelectorAll(".tok-tarn-function")].some((e) => e.textContent === "loop"));
  const activeLine = () => page.$eval(".cm-activeLine", (e) => e.textContent);

  // F12 on a use of a label shows the line that defines it.
  await clickOn(page, "@loop");
  assert.equal(await activeLine(), "start:  jmp @loop");
  await page.keyboard.press("F12");
  await page.waitForFunction(() => document.querySelector(".cm-activeLine")?.textContent === "loop:   wait 4");

  // F2 asks for the new name in a panel; the definition and every use take it.
  const rename = async (name) => {
    await page.keyboard.press("F2");
    await page.waitForFunction(() => document.activeElement?.matches(".cm-lsp-rename-panel input[name=name]"));
    await page.keyboard.type(name);
    await page.keyboard.press("Enter");
  };
  await rename("again");
  const renamed = "start:  jmp @again\nagain:   wait 4\n        jmp @again\n";
  await page.waitForFunction((text) => window.tarnasmPlayground.source() === text, {}, renamed);

  // A name in use is refused: the text stays, and the server's reason is shown in the editor.
  await clickOn(page, "@again");
  await rename("start");
  await page.waitForFunction(() =>
    [...document.querySelectorAll(".cm-lsp-message-error")].some((e) => e.textContent.includes("named 'start' is already used")),
  );
  assert.equal(await page.evaluate(() => window.tarnasmPlayground.source()), renamed);
  // Once: the server's echo of the refusal for other editors is not shown beside it.
  await new Promise((resolve) => setTimeout(resolve, 300));
  assert.equal(await page.$$eval(".cm-lsp-message-error", (panels) => panels.length), 1);

  // A mnemonic and a space ask for its operands; a comma moves on to the next one.
  const activeParameter = ".cm-lsp-signature-tooltip .cm-lsp-active-parameter";
  await clickOn(page, "wait");
  await page.keyboard.down("Control");
  await page.keyboard.press("End");
  await page.keyboard.up("Control");
  await page.keyboard.type("        move ");
  await page.waitForSelector(activeParameter);
  const label = await page.$eval(".cm-lsp-signature-tooltip .cm-lsp-signature", (e) => e.textContent);
  const operands = label.replace(/^move /, "").split(", ");
  assert.equal(operands.length, 2, label);
  assert.equal(await page.$eval(activeParameter, (e) => e.textContent), operands[0]);
  await page.keyboard.type("5,");
  await page.waitForFunction(
    (selector, second) => document.querySelector(selector)?.textContent === second,
    {},
    activeParameter,
    operands[1],
  );
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("a share link carries the source", async () => {
  const page = await open();
  const source = "# ünïcode and # signs survive\nstart:  wait 4\n        jmp @start\n";
  await setSource(page, source);
  await page.click("#share");
  const link = await page.$eval("#share-link", (e) => e.value);
  assert.match(link, /#source=[A-Za-z0-9_-]+$/);
  await page.close();
  const shared = await open(link);
  assert.equal(await shared.evaluate(() => window.tarnasmPlayground.source()), source);
  await shared.close();
});

test("the single file assembles when opened from disk", async () => {
  const page = await open(pathToFileURL(singleFile).href);
  await page.waitForFunction((hex) => document.querySelector("#words").textContent === hex, {}, exampleHex);
  // A .hex pasted in comes back as its disassembly, which assembles into the same words.
  await page.$eval("details", (d) => (d.open = true));
  await page.$eval("#hex-input", (e, hex) => (e.value = hex), exampleHex);
  await page.click("#disassemble");
  await page.waitForFunction(() => !window.tarnasmPlayground.source().startsWith("#"));
  await page.waitForFunction((hex) => document.querySelector("#words").textContent === hex, {}, exampleHex);
  // A .hex file opened from disk comes back as its disassembly too.
  await setSource(page, "");
  await page.waitForFunction(() => document.querySelector("#words").textContent === "");
  await (await page.$("#open-file")).uploadFile(path.join(root, "tests/corpus/examples/ok_amplitude_sweep.hex"));
  await page.waitForFunction((hex) => document.querySelector("#words").textContent === hex, {}, exampleHex);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("a folder without the module says why the assembler could not start", async () => {
  const broken = mkdtempSync(path.join(tmpdir(), "tarnasm-site-"));
  cpSync(site, broken, { recursive: true });
  rmSync(path.join(broken, "tarnasm_web.wasm"));
  const brokenServer = await serveFolder(broken);
  try {
    const page = await browser.newPage();
    await page.goto(brokenServer.url);
    const failure = await page.evaluate(() => window.tarnasmPlayground.ready.then(() => "ready", (error) => error.message));
    assert.match(failure, /tarnasm_web\.wasm: 404/);
    assert.match(await page.$eval("#status", (e) => e.textContent), /^The assembler could not start: .*tarnasm_web\.wasm: 404/);
    await page.close();
  } finally {
    brokenServer.close();
    rmSync(broken, { recursive: true, force: true });
  }
});
