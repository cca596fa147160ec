#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on the seed corpus: the end-to-end test sources, the
# example programs and the inputs kept under fuzz/corpus/<target>/ (hand-made seeds and every
# input that once failed). Usage: fuzz/run_fuzzers.sh [seconds per target] [build folder]
# Exits non-zero when a target finds a crash, a leak, a sanitizer report or a broken property;
# the input that did it is left in the build folder's fuzz-findings/ to become a corpus file.
set -euo pipefail

cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build/fuzz}

seeds=$build/fuzz-seeds
rm -rf "$seeds"
mkdir -p "$seeds"
find tests/corpus tests/cli examples -type f \( -name '*.tasm' -o -name '*.hex' -o -path '*/in/*' \) -size -64k -print0 |
    while IFS= read -r -d '' file; do
        cp "$file" "$seeds/$(echo "$file" | tr '/' '_')"
    done

status=0
for target in pipeline_fuzzer number_fuzzer token_fuzzer hex_fuzzer lsp_fuzzer; do
    work=$build/fuzz-work/$target
    findings=$build/fuzz-findings/$target
    mkdir -p "$work" "$findings"
    kept=fuzz/corpus/$target
    [[ -d $kept ]] || kept=
    dict=()
    [[ $target == number_fuzzer || $target == hex_fuzzer ]] || dict=(-dict=fuzz/tarn.dict)
    [[ $target != lsp_fuzzer ]] || dict=(-dict=fuzz/lsp.dict)
    log=$build/fuzz-$target.log
    if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 "${dict[@]}" \
        -artifact_prefix="$findings/" "$work" $kept "$seeds" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
        tail -n 40 "$log"
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "$target: $result, $runs executions in ${seconds}s, corpus $(ls "$work" | wc -l) files"
done
exit $status
