#!/usr/bin/env bash
# The shared library exports exactly the functions that the C header declares: no C++ symbol of
# the core or its runtime, and no declared function missing. On Linux, the functions of the 1.0
# header carry the symbol version TARNASM_1 and every later one a later version, so that hosts
# linked against 1.0 find what they were linked with. A DLL's export table is read with the cross
# build's objdump; it has no versions.
#   exports.sh <libtarnasm.so> <tarnasm_c.h> <the 1.0 tarnasm_c.h>
#   exports.sh <tarnasm.dll> <tarnasm_c.h> <the 1.0 tarnasm_c.h> <objdump>
set -euo pipefail
library=$1 header=$2 header_1_0=$3 objdump=${4:-}
declared() {
    grep -o 'TARNASM_C_API [^(]*(' "$1" | grep -o 'tarnasm_[a-z_]*($' | tr -d '(' | sort
}
differ() { # <what> <expected> <found>
    if ! diff -u <(echo "$2") <(echo "$3"); then
        echo "$1 (+) differ from the header's functions (-)"
        exit 1
    fi
}
if [[ -n $objdump ]]; then
    all=$("$objdump" -p "$library" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                                          on && /^\t\[/ { print $NF; next } { on = 0 }')
else
    # Defined dynamic symbols as name@@version; the version nodes themselves are no functions.
    versioned=$(nm -D --defined-only "$library" | awk '$2 != "A" { print $3 }')
    all=$(sed 's/@.*//' <<<"$versioned")
    differ "the symbols of version TARNASM_1" "$(declared "$header_1_0")" \
        "$(grep '@@\?TARNASM_1$' <<<"$versioned" | sed 's/@.*//' | sort)"
    unversioned=$(grep -v '@@\?TARNASM_1[.0-9]*$' <<<"$versioned" || true)
    [[ -z $unversioned ]] || { echo "exported without a TARNASM_ version: $unversioned"; exit 1; }
fi
differ "the exported symbols" "$(declared "$header")" "$(sort <<<"$all")"
echo "$(wc -l <<<"$all") functions exported, as declared; $(declared "$header_1_0" | wc -l) of them as in 1.0"
