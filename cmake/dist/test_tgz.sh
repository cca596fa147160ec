#!/bin/sh
# Checks the Linux archive where a user unpacks it: the tools assemble the example, and the
# library is found through its pkg-config file from wherever the archive lies.
set -eu
archive=$1
example=$2
scratch=$3

rm -rf "$scratch" && mkdir -p "$scratch"
tar -xzf "$archive" -C "$scratch"
root=$scratch/$(basename "$archive" .tar.gz)
for file in bin/tarnasm bin/tarndis bin/tarnasm-lsp lib/libtarnasm.a include/tarnasm/tarnasm.h \
            lib/cmake/tarnasm/tarnasmConfig.cmake lib/pkgconfig/tarnasm.pc \
            share/doc/tarnasm/LICENSE share/doc/tarnasm/README.md \
            lib/libtarnasm.so.1 include/tarnasm/tarnasm_c.h include/tarnasm/tarnasm_version.h lib/pkgconfig/tarnasm_c.pc \
            share/man/man1/tarnasm.1.gz share/doc/tarnasm/html/index.html; do
    test -f "$root/$file" || { echo "$archive: no $file" >&2; exit 1; }
done

"$root/bin/tarnasm" -l error -o "$scratch/example" "$example" >/dev/null
test -s "$scratch/example.hex"
"$root/bin/tarndis" "$scratch/example.hex" >"$scratch/example.tasm"
"$root/bin/tarnasm" -l error -o "$scratch/again" "$scratch/example.tasm" >/dev/null
cmp "$scratch/example.hex" "$scratch/again.hex"

include=$(PKG_CONFIG_PATH="$root/lib/pkgconfig" pkg-config --cflags-only-I tarnasm | sed 's/^-I//; s/ *$//')
test -f "$include/tarnasm/tarnasm.h" || { echo "pkg-config names $include, which does not hold tarnasm.h" >&2; exit 1; }
