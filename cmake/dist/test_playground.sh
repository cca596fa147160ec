#!/bin/sh
# Checks the playground's zip (its file list and version) and runs the page tests in headless
# Chromium on the unpacked folder and on the single file as they ship.
set -eu
dist=$1
version=$2
source=$3
scratch=$4

folder=tarnasm-$version-playground
rm -rf "$scratch"
mkdir -p "$scratch"
expected=$(mktemp)
trap 'rm -f "$expected"' EXIT
for file in LICENSE THIRD-PARTY-NOTICES.txt index.html playground.css playground.js worker.js tarnasm.d.ts tarnasm.mjs tarnasm_web.js tarnasm_web.wasm; do
    echo "$folder/$file"
done | sort >"$expected"
unzip -Z1 "$dist/$folder.zip" | grep -v '/$' | sort | diff -u "$expected" - \
    || { echo "$folder.zip: unexpected file list" >&2; exit 1; }
unzip -q "$dist/$folder.zip" -d "$scratch"
grep -q "content=\"tarnasm $version\"" "$dist/$folder.html" || { echo "$folder.html: not version $version" >&2; exit 1; }
TARNASM_SITE=$scratch/$folder TARNASM_SINGLE_FILE=$dist/$folder.html node "$source/web/test/page.test.mjs"
