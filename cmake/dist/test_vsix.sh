#!/bin/sh
# Checks each .vsix's file list (its own platform's server, the bundled code, the licence, nothing
# else) and its version, then runs the node tests of the server finding.
set -eu
dist=$1
version=$2
extension=$3

expected_files() {
    printf '%s\n' '[Content_Types].xml' extension.vsixmanifest extension/LICENSE.txt extension/package.json \
        extension/readme.md extension/language-configuration.json extension/syntaxes/tarn.tmLanguage.json \
        extension/images/icon.png extension/dist/extension.js "extension/server/$1"
}
expected=$(mktemp)
trap 'rm -f "$expected"' EXIT
for target in linux-x64:tarnasm-lsp win32-x64:tarnasm-lsp.exe; do
    vsix=$dist/tarnasm-${target%%:*}-$version.vsix
    expected_files "${target#*:}" | sort >"$expected"
    unzip -Z1 "$vsix" | sort | diff -u "$expected" - || { echo "$vsix: unexpected file list" >&2; exit 1; }
    unzip -p "$vsix" extension/package.json | grep -q "\"version\": \"$version\"" \
        || { echo "$vsix: not version $version" >&2; exit 1; }
done
unzip -Z "$dist/tarnasm-linux-x64-$version.vsix" extension/server/tarnasm-lsp | grep -q '^-rwx' \
    || { echo "the Linux server is not executable in its .vsix" >&2; exit 1; }
cd "$extension" && node --test test/
