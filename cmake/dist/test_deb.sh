#!/bin/sh
# Checks the .deb as Debian would: lintian finds no error (its warnings are printed), the control
# fields are set, and the tools in it are stripped and run.
set -eu
deb=$1
scratch=$2

lintian --fail-on error --tag-display-limit 0 "$deb"
for field in Depends Section Description Homepage; do
    value=$(dpkg-deb --field "$deb" "$field")
    [ -n "$value" ] || { echo "$deb: no $field" >&2; exit 1; }
    echo "$field: $value" | head -1
done
# Computed from the executables: the language server needs the C library.
dpkg-deb --field "$deb" Depends | grep -q '^libc6 (>= [0-9.]*)'

rm -rf "$scratch" && mkdir -p "$scratch"
dpkg-deb --extract "$deb" "$scratch"
for tool in tarnasm tarndis tarnasm-lsp; do
    if file "$scratch/usr/bin/$tool" | grep -q 'not stripped'; then
        echo "$deb: /usr/bin/$tool is not stripped" >&2
        exit 1
    fi
done
test -f "$scratch/usr/share/doc/tarnasm/copyright"
test -f "$scratch/usr/share/doc/tarnasm/LICENSE"
test -f "$scratch/usr/lib/cmake/tarnasm/tarnasmConfig.cmake"
"$scratch/usr/bin/tarndis" --version
