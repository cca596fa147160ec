#!/usr/bin/env bash
# The shared library exports exactly the functions that the C header declares: no C++ symbol of
# the core or its runtime, and no declared function missing. A DLL's export table is read with the
# cross build's objdump.
#   exports.sh <libtarnasm.so> <tarnasm_c.h>
#   exports.sh <tarnasm.dll> <tarnasm_c.h> <objdump>
set -euo pipefail
library=$1 header=$2 objdump=${3:-}
if [[ -n $objdump ]]; then
    all=$("$objdump" -p "$library" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                                          on && /^\t\[/ { print $NF; next } { on = 0 }')
else
    # Defined dynamic symbols without their version; the version node itself is no function.
    all=$(nm -D --defined-only "$library" | awk '$2 != "A" { sub(/@.*/, "", $3); print $3 }')
fi
exported=$(sort <<<"$all")
declared=$(grep -o 'TARNASM_C_API [^(]*(' "$header" | grep -o 'tarnasm_[a-z_]*($' | tr -d '(' | sort)
if ! diff -u <(echo "$declared") <(echo "$exported"); then
    echo "the exported symbols (+) differ from the header's functions (-)"
    exit 1
fi
echo "$(wc -l <<<"$exported") functions exported, as declared"
