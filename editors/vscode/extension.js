// The extension's client: starts tarnasm-lsp for tarn documents and stops it with the window.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate(context) {
    const command = vscode.workspace.getConfiguration('tarnasm').get('server.path', 'tarnasm-lsp');
    client = new LanguageClient(
        'tarnasm',
        'Tarn assembly language server',
        { command, args: [] },
        { documentSelector: [{ language: 'tarn' }] });
    context.subscriptions.push(client);
    return client.start().catch((error) => {
        vscode.window.showErrorMessage(
            `Could not start ${command}: ${error.message}. Set tarnasm.server.path to the tarnasm-lsp executable.`);
    });
}

function deactivate() {
    return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
