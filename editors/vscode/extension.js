// The extension's client: starts tarnasm-lsp for tarn documents and stops it with the window.
const fs = require('fs');
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');
const { findServer } = require('./serverPath');

let client;

function isFile(file) {
    try {
        return fs.statSync(file).isFile();
    } catch {
        return false;
    }
}

function activate(context) {
    const setting = vscode.workspace.getConfiguration('tarnasm').get('server.path', '');
    const server = findServer({
        platform: process.platform,
        setting,
        env: process.env,
        extensionPath: context.extensionPath,
        isFile,
    });
    if (server.source === 'bundled' && process.platform !== 'win32') {
        // An unpacked package does not always keep the executable bit.
        try {
            fs.chmodSync(server.command, 0o755);
        } catch {
            // Read-only extension folder: starting it reports the problem.
        }
    }
    const started = new LanguageClient(
        'tarnasm',
        'Tarn assembly language server',
        { command: server.command, args: [] },
        { documentSelector: [{ language: 'tarn' }] });
    client = started;
    return started.start().catch((error) => {
        // Nothing to stop at deactivation: the client never ran.
        client = undefined;
        vscode.window.showErrorMessage(
            `Could not start ${server.command}: ${error.message}. Set tarnasm.server.path to the tarnasm-lsp executable.`);
    });
}

function deactivate() {
    const running = client;
    client = undefined;
    if (!running || !running.isRunning()) {
        return undefined;
    }
    return running.stop().catch(() => undefined);
}

module.exports = { activate, deactivate };
