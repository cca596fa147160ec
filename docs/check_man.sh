#!/bin/sh
# Renders each man page as man-db does and fails on any warning, so a page never shows broken markup.
#   check_man.sh <page.1>...
status=0
for page in "$@"; do
    warnings=$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "$page: $warnings"
        status=1
    fi
    if ! MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q SYNOPSIS; then
        echo "$page: no SYNOPSIS section"
        status=1
    fi
done
exit $status
