// The choice of the server: setting, then PATH, then the bundled one, on both platforms.
const test = require('node:test');
const assert = require('node:assert');
const { findServer } = require('../serverPath');

function on(platform, files, { setting = '', env = {} } = {}) {
    const extensionPath = platform === 'win32' ? 'C:\\ext' : '/ext';
    return findServer({ platform, setting, env, extensionPath, isFile: (file) => files.includes(file) });
}

test('the setting wins over PATH and the bundled server', () => {
    const result = on('linux', ['/usr/bin/tarnasm-lsp', '/ext/server/tarnasm-lsp'],
        { setting: ' /opt/lsp ', env: { PATH: '/usr/bin' } });
    assert.deepStrictEqual(result, { command: '/opt/lsp', source: 'setting' });
});

test('PATH is searched in order, skipping empty entries, before the bundled server', () => {
    const files = ['/b/tarnasm-lsp', '/c/tarnasm-lsp', 'tarnasm-lsp', '/ext/server/tarnasm-lsp'];
    assert.deepStrictEqual(on('linux', files, { env: { PATH: ':/a:/b:/c' } }),
        { command: '/b/tarnasm-lsp', source: 'path' });
});

test('without PATH or setting the bundled server is started', () => {
    assert.deepStrictEqual(on('linux', ['/ext/server/tarnasm-lsp'], { env: { PATH: '/usr/bin' } }),
        { command: '/ext/server/tarnasm-lsp', source: 'bundled' });
    assert.deepStrictEqual(on('darwin', [], { env: {} }), { command: 'tarnasm-lsp', source: 'none' });
});

test('Windows: Path in any case, semicolons, and the .exe name', () => {
    const files = ['D:\\tarn\\bin\\tarnasm-lsp.exe', 'C:\\ext\\server\\tarnasm-lsp.exe'];
    assert.deepStrictEqual(on('win32', files, { env: { Path: 'C:\\Windows;D:\\tarn\\bin' } }),
        { command: 'D:\\tarn\\bin\\tarnasm-lsp.exe', source: 'path' });
    assert.deepStrictEqual(on('win32', files, { env: { PATH: 'C:\\Windows' } }),
        { command: 'C:\\ext\\server\\tarnasm-lsp.exe', source: 'bundled' });
    // A Unix tarnasm-lsp without .exe is not a Windows server.
    assert.deepStrictEqual(on('win32', ['D:\\tarn\\bin\\tarnasm-lsp'], { env: { Path: 'D:\\tarn\\bin' } }).source, 'none');
});
