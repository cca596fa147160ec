#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh <wine> <program.exe> [arguments...]
# Wine reports a crash on standard error but does not always exit non-zero for it (a thread that
# faults while the process ends), so a reported crash fails the run here.
set -uo pipefail
wine=$1
shift
report=$(mktemp)
trap 'rm -f "$report"' EXIT
"$wine" "$@" 2>"$report"
status=$?
cat "$report" >&2
if grep -q '^wine: Unhandled' "$report"; then
    echo "wine-run.sh: the program crashed (exit status $status)" >&2
    exit 70
fi
exit "$status"
