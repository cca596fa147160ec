#!/bin/sh
# The Python distributions into dist/: the source distribution and the Linux wheel built from it
# (its library compiled there with CMake), then the Windows wheel from the same source distribution
# with the cross build's tarnasm.dll.
#   python_dist.sh <python> <python/ folder> <dist dir> <tarnasm.dll> <scratch>
set -eu
python=$1
source=$2
dist=$3
dll=$4
scratch=$5

"$python" -m build --no-isolation --outdir "$dist" "$source"
sdist=$(ls "$dist"/tarnasm-*.tar.gz)
rm -rf "$scratch" && mkdir -p "$scratch"
tar -xzf "$sdist" -C "$scratch"
TARNASM_LIBRARY=$dll TARNASM_PLATFORM=win_amd64 \
    "$python" -m build --no-isolation --wheel --outdir "$dist" "$scratch"/tarnasm-*/
