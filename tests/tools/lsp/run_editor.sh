#!/bin/sh
# Runs an editor's headless test, or reports it skipped (status 77) when the editor is not installed.
command -v "$1" >/dev/null 2>&1 || { echo "$1 is not installed: skipped"; exit 77; }
exec "$@"
