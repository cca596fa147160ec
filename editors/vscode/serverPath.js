// serverPath: which tarnasm-lsp the extension starts, decided apart from VS Code so that a test
// can give it any platform, setting, environment and file system.
const path = require('path');

/**
 * The server to start: the one the setting names; else the one on PATH, which an installed
 * tarnasm package put there and which matches its tarnasm; else the one bundled in the extension.
 * `source` says which of the three it is, or 'none' when there is none: the command is then
 * the bare name, and starting it reports what is missing.
 *
 * @param {object} where
 * @param {string} where.platform process.platform
 * @param {string | undefined} where.setting tarnasm.server.path; empty for none
 * @param {Record<string, string | undefined>} where.env the environment, for PATH
 * @param {string} where.extensionPath the extension's folder, which holds server/
 * @param {(file: string) => boolean} where.isFile whether a file exists
 * @returns {{ command: string, source: 'setting' | 'path' | 'bundled' | 'none' }}
 */
function findServer({ platform, setting, env, extensionPath, isFile }) {
    const windows = platform === 'win32';
    const paths = windows ? path.win32 : path.posix;
    const name = windows ? 'tarnasm-lsp.exe' : 'tarnasm-lsp';
    const wanted = (setting || '').trim();
    if (wanted !== '') {
        return { command: wanted, source: 'setting' };
    }
    // Windows spells it Path; a copy of the environment is no longer case-insensitive.
    const key = Object.keys(env).find((k) => (windows ? k.toUpperCase() === 'PATH' : k === 'PATH'));
    for (const dir of (key ? env[key] || '' : '').split(paths.delimiter)) {
        // An empty entry would mean the current folder, which is the workspace's to decide.
        if (dir !== '' && isFile(paths.join(dir, name))) {
            return { command: paths.join(dir, name), source: 'path' };
        }
    }
    const bundled = paths.join(extensionPath, 'server', name);
    if (isFile(bundled)) {
        return { command: bundled, source: 'bundled' };
    }
    return { command: 'tarnasm-lsp', source: 'none' };
}

module.exports = { findServer };
