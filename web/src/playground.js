// The playground page: CodeMirror talking to the language server in a Web Worker, the words
// panel, the diagnostics list, files in and out, examples and share links.
import { EditorView, basicSetup } from "codemirror";
import { EditorState, StateEffect, StateField, RangeSetBuilder } from "@codemirror/state";
import { Decoration, ViewPlugin, keymap } from "@codemirror/view";
import { setDiagnostics } from "@codemirror/lint";
import {
  LSPClient,
  LSPPlugin,
  findReferencesKeymap,
  formatKeymap,
  hoverTooltips,
  jumpToDefinitionKeymap,
  renameKeymap,
  serverCompletion,
  signatureHelp,
} from "@codemirror/lsp-client";
import examples from "examples";

const FILE_URI = "file:///playground.tasm";
const $ = (id) => document.getElementById(id);

/**
 * Calls of the Worker's assembler functions (the head's boot script started it); each resolves to
 * the function's result.
 */
function workerCalls(worker) {
  const replies = new Map();
  let nextCall = 0;
  worker.addEventListener("message", (event) => {
    const { data } = event;
    if (data.reply !== undefined) {
      const { resolve, reject } = replies.get(data.reply);
      replies.delete(data.reply);
      if (data.error !== undefined) {
        reject(new Error(data.error));
      } else {
        resolve(data.result);
      }
    } else if (data.error !== undefined) {
      console.error(data.error);
    }
  });
  return (name, ...args) =>
    new Promise((resolve, reject) => {
      replies.set(nextCall, { resolve, reject });
      worker.postMessage({ call: name, args, id: nextCall++ });
    });
}

/** The transport @codemirror/lsp-client speaks through: message bodies to and from the Worker. */
function workerTransport(worker) {
  const handlers = new Set();
  worker.addEventListener("message", (event) => {
    if (event.data.message !== undefined) {
      for (const handler of handlers) {
        handler(event.data.message);
      }
    }
  });
  return {
    send: (message) => worker.postMessage({ message }),
    subscribe: (handler) => handlers.add(handler),
    unsubscribe: (handler) => handlers.delete(handler),
  };
}

// ---- Diagnostics with their quick fixes ----

function applyWorkspaceEdit(view, plugin, edit) {
  const edits = edit.changes?.[FILE_URI] ?? edit.documentChanges?.find((c) => c.textDocument?.uri === FILE_URI)?.edits ?? [];
  view.dispatch({
    changes: edits.map((e) => ({
      from: plugin.fromPosition(e.range.start, view.state.doc),
      to: plugin.fromPosition(e.range.end, view.state.doc),
      insert: e.newText,
    })),
  });
}

const rangeKey = (range, message) => `${range.start.line}:${range.start.character}:${message}`;

/** Published diagnostics, shown with the server's quick fixes as their actions. */
function diagnosticsWithFixes() {
  return {
    clientCapabilities: { textDocument: { publishDiagnostics: { versionSupport: true }, codeAction: {} } },
    notificationHandlers: {
      "textDocument/publishDiagnostics": (client, params) => {
        const file = client.workspace.getFile(params.uri);
        if (!file || (params.version != null && params.version !== file.version)) {
          return false;
        }
        const view = file.getView();
        const plugin = view && LSPPlugin.get(view);
        if (!plugin) {
          return false;
        }
        const show = (fixes) => {
          if (plugin.client.workspace.getFile(params.uri)?.version !== file.version) {
            return; // edited meanwhile: newer diagnostics are on their way
          }
          view.dispatch(
            setDiagnostics(
              view.state,
              params.diagnostics.map((d) => ({
                from: plugin.unsyncedChanges.mapPos(plugin.fromPosition(d.range.start, plugin.syncedDoc)),
                to: plugin.unsyncedChanges.mapPos(plugin.fromPosition(d.range.end, plugin.syncedDoc)),
                severity: "error",
                message: d.message,
                source: d.code,
                actions: (fixes.get(rangeKey(d.range, d.message)) ?? []).map((fix) => ({
                  name: fix.title,
                  apply: (v) => applyWorkspaceEdit(v, plugin, fix.edit),
                })),
              })),
            ),
          );
        };
        // Shown at once; the fixes follow when the server has worked them out.
        show(new Map());
        if (params.diagnostics.length === 0) {
          return true;
        }
        const whole = { start: { line: 0, character: 0 }, end: { line: plugin.syncedDoc.lines, character: 0 } };
        client
          .request("textDocument/codeAction", {
            textDocument: { uri: params.uri },
            range: whole,
            context: { diagnostics: params.diagnostics, only: ["quickfix"] },
          })
          .then((actions) => {
            if (!actions?.length) {
              return;
            }
            const fixes = new Map();
            for (const action of actions ?? []) {
              for (const d of action.diagnostics ?? []) {
                const key = rangeKey(d.range, d.message);
                fixes.set(key, [...(fixes.get(key) ?? []), action]);
              }
            }
            show(fixes);
          })
          .catch(() => {});
        return true;
      },
    },
  };
}

// ---- Semantic highlighting from the server's tokens ----

const setSemanticTokens = StateEffect.define();
const semanticTokens = StateField.define({
  create: () => Decoration.none,
  update(decorations, transaction) {
    decorations = decorations.map(transaction.changes);
    for (const effect of transaction.effects) {
      if (effect.is(setSemanticTokens)) {
        decorations = effect.value;
      }
    }
    return decorations;
  },
  provide: (field) => EditorView.decorations.from(field),
});

const markCache = new Map();
function tokenMark(type) {
  if (!markCache.has(type)) {
    markCache.set(type, Decoration.mark({ class: `tok-tarn-${type}` }));
  }
  return markCache.get(type);
}

async function refreshSemanticTokens(view) {
  const plugin = LSPPlugin.get(view);
  if (!plugin) {
    return;
  }
  await plugin.client.initializing;
  const legend = plugin.client.serverCapabilities?.semanticTokensProvider?.legend;
  if (!legend) {
    return;
  }
  plugin.client.sync();
  const doc = plugin.syncedDoc;
  const result = await plugin.client.request("textDocument/semanticTokens/full", { textDocument: { uri: FILE_URI } });
  if (plugin.syncedDoc !== doc || !result) {
    return;
  }
  const builder = new RangeSetBuilder();
  let line = 0;
  let character = 0;
  const data = result.data;
  for (let i = 0; i + 4 < data.length; i += 5) {
    line += data[i];
    character = data[i] === 0 ? character + data[i + 1] : data[i + 1];
    if (line >= doc.lines) {
      break;
    }
    const from = doc.line(line + 1).from + character;
    builder.add(from, Math.min(from + data[i + 2], doc.length), tokenMark(legend.tokenTypes[data[i + 3]] ?? "other"));
  }
  view.dispatch({ effects: setSemanticTokens.of(plugin.unsyncedChanges.empty ? builder.finish() : Decoration.none) });
}

// ---- The page ----

const decodeShared = (fragment) => {
  const match = /^#source=([A-Za-z0-9_-]*)$/.exec(fragment);
  if (!match) {
    return null;
  }
  const base64 = match[1].replace(/-/g, "+").replace(/_/g, "/");
  const text = atob(base64 + "=".repeat((4 - (base64.length % 4)) % 4));
  return new TextDecoder().decode(Uint8Array.from(text, (c) => c.charCodeAt(0)));
};

const linkedExample = () => examples.find((e) => location.hash === `#example=${e.name}`);

const encodeShared = (source) => {
  let text = "";
  for (const byte of new TextEncoder().encode(source)) {
    text += String.fromCharCode(byte);
  }
  return "#source=" + btoa(text).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
};

function download(name, text, type) {
  const url = URL.createObjectURL(new Blob([text], { type }));
  const link = document.createElement("a");
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

async function start() {
  const status = $("status");
  // The module and the Worker started as the page's head was read; the Worker does all the
  // assembling.
  const { worker, ready } = window.tarnasmBoot;
  const call = workerCalls(worker);
  // The Worker is mostly ready before this script has run, its answer waiting behind it: taken
  // before the editor is built, the page is ready with the editor rather than a frame later. One
  // still starting is waited for at the end.
  const earlyVersion = await Promise.race([ready, new Promise((resolve) => setTimeout(resolve, 0))]);
  let latest = { ok: false, hex: "", lines: new Int32Array(0), diagnostics: [] };
  let fileName = "playground.tasm";
  let pickedWord = -1; // the word the arrow keys picked in the words panel

  // Checks run in the Worker one at a time; only the newest text waits behind the running one.
  let checking = false;
  let waitingText = null;
  const requestCheck = (text) => {
    // Words of an older text must not be saved as this one's.
    $("download-hex").disabled = true;
    if (checking) {
      waitingText = text;
      return;
    }
    checking = true;
    call("check", text, fileName)
      .then(
        (program) => {
          latest = program;
          showProgram(program);
        },
        (error) => (status.textContent = `The check failed: ${error.message}`),
      )
      .finally(() => {
        checking = false;
        if (waitingText !== null) {
          const text = waitingText;
          waitingText = null;
          requestCheck(text);
        }
      });
  };

  const client = new LSPClient({
    rootUri: "file:///",
    extensions: [
      serverCompletion(),
      hoverTooltips(),
      signatureHelp(),
      keymap.of([...formatKeymap, ...renameKeymap, ...jumpToDefinitionKeymap, ...findReferencesKeymap]),
      diagnosticsWithFixes(),
      // The server echoes a refused request's reason as an error message for editors that show
      // no failed reply; this one shows the reply already.
      { notificationHandlers: { "window/showMessage": (client, params) => params.type === 1 } },
    ],
  }).connect(workerTransport(worker));

  // The client syncs after half a second of quiet; errors as you type want them at once.
  const syncNow = ViewPlugin.fromClass(
    class {
      constructor(view) {
        this.timer = -1;
        this.tokensTimer = setTimeout(() => refreshSemanticTokens(view), 50);
      }
      update(update) {
        if (update.docChanged) {
          clearTimeout(this.timer);
          clearTimeout(this.tokensTimer);
          // The server's diagnostics first; the words panel's check queues behind them in the Worker.
          this.timer = setTimeout(() => {
            LSPPlugin.get(update.view)?.client.sync();
            requestCheck(update.state.doc.toString());
          }, 0);
          // Colours can wait for a pause in typing: on a long program they cost as much as the check.
          this.tokensTimer = setTimeout(() => refreshSemanticTokens(update.view), update.state.doc.lines > 2000 ? 500 : 50);
        }
      }
      destroy() {
        clearTimeout(this.timer);
        clearTimeout(this.tokensTimer);
      }
    },
  );

  const shared = decodeShared(location.hash);
  const example = shared === null ? (linkedExample() ?? examples[0]) : null;
  fileName = example?.name ?? "playground.tasm";
  const initial = shared ?? example.source;
  const view = new EditorView({
    parent: $("editor"),
    state: EditorState.create({
      doc: initial,
      extensions: [
        basicSetup,
        client.plugin(FILE_URI, "tarn"),
        semanticTokens,
        syncNow,
        EditorView.contentAttributes.of({ "aria-label": "Tarn assembly source" }),
        EditorView.updateListener.of((update) => {
          if (update.selectionSet || update.docChanged) {
            markWordsOfLine(update.state.doc.lineAt(update.state.selection.main.head).number);
          }
        }),
      ],
    }),
  });

  const setSource = (text) => {
    view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: text } });
  };
  const source = () => view.state.doc.toString();

  function goToLine(line) {
    if (line < 1 || line > view.state.doc.lines) {
      return;
    }
    const from = view.state.doc.line(line).from;
    view.dispatch({ selection: { anchor: from }, effects: EditorView.scrollIntoView(from, { y: "center" }) });
    view.focus();
  }

  function markWordsOfLine(line) {
    for (const element of $("words").querySelectorAll(".current")) {
      element.classList.remove("current");
    }
    for (const element of $("words").querySelectorAll(`[data-line="${line}"]`)) {
      element.classList.add("current");
    }
  }

  function showProgram(program) {
    // #words holds exactly the .hex text; the addresses are drawn in a column beside it.
    const hex = program.hex.split("\n").slice(0, -1);
    const words = $("words");
    const addresses = $("addresses");
    pickedWord = -1;
    words.replaceChildren(
      ...hex.map((text, address) => {
        const span = document.createElement("span");
        span.textContent = text + "\n";
        span.dataset.address = address;
        span.dataset.line = program.lines[address];
        span.title = `address ${address}, line ${program.lines[address]}`;
        return span;
      }),
    );
    addresses.textContent = hex.map((_, address) => `${address}`).join("\n");
    $("download-hex").disabled = !program.ok;

    const list = $("diagnostics");
    list.replaceChildren(
      ...program.diagnostics.map((d) => {
        const item = document.createElement("li");
        item.dataset.line = d.line;
        item.dataset.column = d.column;
        item.dataset.code = d.code;
        const button = document.createElement("button");
        button.type = "button";
        button.textContent = d.line > 0 ? `${d.line}:${d.column}: ${d.message}` : d.message;
        button.addEventListener("click", () => goToLine(d.line));
        item.append(button);
        return item;
      }),
    );
    status.textContent = program.ok
      ? `${program.lines.length} words`
      : `${program.errorCount} error${program.errorCount === 1 ? "" : "s"}`;
    markWordsOfLine(view.state.doc.lineAt(view.state.selection.main.head).number);
  }

  $("words").addEventListener("click", (event) => {
    const line = Number(event.target.closest("[data-line]")?.dataset.line ?? 0);
    goToLine(line);
  });
  // From the keyboard: the arrows pick a word, Enter shows its line.
  $("words").addEventListener("keydown", (event) => {
    const words = $("words").children;
    const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
    if (step !== undefined && words.length > 0) {
      event.preventDefault();
      words[pickedWord]?.classList.remove("picked");
      pickedWord = Math.min(Math.max(pickedWord + step, 0), words.length - 1);
      words[pickedWord].classList.add("picked");
      words[pickedWord].scrollIntoView({ block: "nearest" });
    } else if (event.key === "Enter" && words[pickedWord]) {
      goToLine(Number(words[pickedWord].dataset.line));
    }
  });
  $("download-hex").addEventListener("click", () => {
    if (latest.ok) {
      download(fileName.replace(/\.tasm$/, "") + ".hex", latest.hex, "text/plain");
    }
  });
  $("share").addEventListener("click", async () => {
    history.replaceState(null, "", encodeShared(source()));
    $("share-link").value = location.href;
    try {
      await navigator.clipboard.writeText(location.href);
      status.textContent = "Link copied";
    } catch {
      $("share-link").select();
    }
  });

  const openHex = async (text) => {
    try {
      const result = await call("disassembleHex", text);
      if (result.text === null) {
        status.textContent = `Words that are no instruction at address ${result.unknown.join(", ")}`;
        return false;
      }
      setSource(result.text);
      return true;
    } catch (error) {
      status.textContent = error.message;
      return false;
    }
  };
  $("open-file").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    if (!file) {
      return;
    }
    const text = await file.text();
    if (/\.hex$/i.test(file.name)) {
      if (await openHex(text)) {
        fileName = file.name.replace(/\.hex$/i, ".tasm");
      }
    } else {
      fileName = file.name;
      setSource(text);
    }
    event.target.value = "";
  });
  $("disassemble").addEventListener("click", async () => {
    if (await openHex($("hex-input").value)) {
      $("hex-input").value = "";
    }
  });

  const menu = $("examples");
  for (const [index, example] of examples.entries()) {
    menu.append(new Option(example.name, index));
  }
  menu.addEventListener("change", () => {
    if (menu.value !== "") {
      fileName = examples[menu.value].name;
      setSource(examples[menu.value].source);
      menu.value = "";
    }
  });
  window.addEventListener("hashchange", () => {
    const shared = decodeShared(location.hash) ?? linkedExample()?.source ?? null;
    if (shared !== null && shared !== source()) {
      setSource(shared);
    }
  });

  requestCheck(source());
  // Ready to assemble once the Worker is; the client holds the server's messages until then.
  $("version").textContent = `tarnasm ${earlyVersion ?? (await ready)}`;
  return { setSource, source };
}

let resolveReady;
let rejectReady;
window.tarnasmPlayground = {
  ready: new Promise((resolve, reject) => {
    resolveReady = resolve;
    rejectReady = reject;
  }),
  setSource: () => {
    throw new Error("the playground is not ready yet");
  },
  source: () => "",
};
start().then(
  ({ setSource, source }) => {
    window.tarnasmPlayground.setSource = setSource;
    window.tarnasmPlayground.source = source;
    // When it became ready, for measurements taken after the page has loaded.
    performance.mark("tarnasm-playground-ready");
    resolveReady();
  },
  (error) => {
    document.getElementById("status").textContent = `The assembler could not start: ${error.message}`;
    rejectReady(error);
  },
);
