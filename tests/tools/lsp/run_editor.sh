#!/bin/sh
# Runs an editor's headless test, or reports it skipped (status 77) when the editor is not installed.
# Leading "--copy FILE DEST" pairs first put the editors' files where the editors page tells users to.
while [ "$1" = "--copy" ]; do
  mkdir -p "$(dirname "$3")" && cp "$2" "$3" || exit 1
  shift 3
done
command -v "$1" >/dev/null 2>&1 || { echo "$1 is not installed: skipped"; exit 77; }
exec "$@"
