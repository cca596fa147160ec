#!/bin/sh
# Packages the VS Code extension once per target, each with that target's stripped tarnasm-lsp in
# server/: vsix.sh <root> <dist> <scratch> <version> <target>=<tarnasm-lsp>...
# The extension is copied with the project's version, so that package.json need not be bumped.
# Fails on any warning of vsce.
set -eu
root=$1
dist=$2
scratch=$3
version=$4
shift 4
extension=$root/editors/vscode
npm=${TARNASM_NPM:-npm}

if [ ! -x "$extension/node_modules/.bin/vsce" ]; then
    (cd "$extension" && "$npm" ci --no-audit --no-fund)
fi
for pair in "$@"; do
    target=${pair%%=*}
    server=${pair#*=}
    stage=$scratch/$target
    rm -rf "$stage" && mkdir -p "$stage/server"
    (cd "$extension" && cp -RL package.json package-lock.json README.md LICENSE .vscodeignore \
        language-configuration.json extension.js serverPath.js syntaxes images "$stage/")
    ln -s "$extension/node_modules" "$stage/node_modules"
    node -e 'const fs = require("fs"); const file = process.argv[1];
             const manifest = JSON.parse(fs.readFileSync(file, "utf8"));
             manifest.version = process.argv[2];
             fs.writeFileSync(file, JSON.stringify(manifest, null, 2) + "\n");' "$stage/package.json" "$version"
    case $target in
        win32-*) name=tarnasm-lsp.exe strip=x86_64-w64-mingw32-strip ;;
        *) name=tarnasm-lsp strip=strip ;;
    esac
    "$strip" -o "$stage/server/$name" "$server"
    out=$dist/tarnasm-$target-$version.vsix
    (cd "$stage" && node_modules/.bin/vsce package --no-dependencies --target "$target" --out "$out" </dev/null) \
        >"$stage/vsce.log" 2>&1 || { cat "$stage/vsce.log"; exit 1; }
    cat "$stage/vsce.log"
    if grep -qi 'warning' "$stage/vsce.log"; then
        echo "vsix.sh: vsce warned when packaging $target" >&2
        exit 1
    fi
done
