// A static file server on a free local port, for the page tests and the benchmarks. It answers as
// a static host does: each file with its modification time, and 304 to a browser whose copy is
// current, so that a page opened again is taken from the browser's cache.
import { createReadStream, existsSync, statSync } from "node:fs";
import http from "node:http";
import path from "node:path";

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".mjs": "text/javascript",
  ".css": "text/css",
  ".wasm": "application/wasm",
  ".ts": "text/plain",
};

/** Serves folder; resolves to { url, close }. */
export function serveFolder(folder) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
    const file = path.join(folder, name.endsWith("/") ? name + "index.html" : name);
    // Nothing outside the folder, whatever the path says.
    if (!file.startsWith(folder + path.sep) || !existsSync(file) || !statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const modified = statSync(file).mtime.toUTCString();
    const headers = { "Last-Modified": modified, "Cache-Control": "no-cache" };
    if (request.headers["if-modified-since"] === modified) {
      response.writeHead(304, headers).end();
      return;
    }
    response.writeHead(200, { ...headers, "Content-Type": TYPES[path.extname(file)] ?? "application/octet-stream" });
    createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => {
      resolve({ url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() });
    });
  });
}
