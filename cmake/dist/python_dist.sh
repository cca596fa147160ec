#!/bin/sh
# The Python distributions into dist/: the source distribution and the Linux wheel built from it
# (its library compiled there with CMake), then the Windows wheel from the same source distribution
# with the cross build's tarnasm.dll.
#   python_dist.sh <python> <python/ folder> <dist dir> <version> <tarnasm.dll> <scratch>
set -eu
python=$1
source=$2
dist=$3
version=$4
dll=$5
scratch=$6

"$python" -m build --no-isolation --outdir "$dist" "$source"
sdist=$dist/tarnasm-$version.tar.gz
rm -rf "$scratch" && mkdir -p "$scratch"
tar -xzf "$sdist" -C "$scratch"
# The build tree's DLL keeps its symbols; the wheel's is stripped, as the installed one is.
x86_64-w64-mingw32-strip -o "$scratch/tarnasm.dll" "$dll"
TARNASM_LIBRARY=$scratch/tarnasm.dll TARNASM_PLATFORM=win_amd64 \
    "$python" -m build --no-isolation --wheel --outdir "$dist" "$scratch/tarnasm-$version"
