#!/usr/bin/env bash
# The shared library exports exactly the functions that the C header declares: no C++ symbol of
# the core or its runtime, and no declared function missing.
#   exports.sh <libtarnasm.so> <tarnasm_c.h>
set -euo pipefail
library=$1 header=$2
exported=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TW]$/ { sub(/@.*/, "", $3); print $3 }' | sort)
declared=$(grep -o 'TARNASM_C_API [^(]*(' "$header" | grep -o 'tarnasm_[a-z_]*($' | tr -d '(' | sort)
other=$(nm -D --defined-only "$library" | awk '{ print $NF }' | grep -v '^tarnasm_' | grep -v '^TARNASM_[0-9]*$' || true)
if [[ -n $other ]]; then
    echo "exported beyond the C interface:"
    echo "$other"
    exit 1
fi
diff -u <(echo "$declared") <(echo "$exported")
echo "$(wc -l <<<"$exported") functions exported, as declared"
