#!/usr/bin/env bash
# Installs the build into a scratch prefix, then builds the library example against it, once
# through find_package and once through pkg-config, runs both, and checks that they print the output
# that the manual shows beside the example; then the same for the C example against the shared
# library. The consumers compile and link with the build's own compiler flags, so that a library
# built on another standard library (libc++) links at all.
#   consumers.sh <build dir> <source dir> <scratch dir> <c++ compiler> <sanitized: 0|1> [<c++ flags>]
set -euo pipefail
build=$1 source=$2 scratch=$3 cxx=$4 sanitized=$5 cxxflags=${6:-}
if [[ $sanitized == 1 ]]; then
    echo "skipped: a sanitized library needs the sanitizer runtime in its consumers"
    exit 77
fi
rm -rf "$scratch"
mkdir -p "$scratch"
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"

cmake -S "$source/examples/library" -B "$scratch/cmake" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_PREFIX_PATH="$prefix" >"$scratch/configure.log"
cmake --build "$scratch/cmake" >"$scratch/build.log"
"$scratch/cmake/sweep" >"$scratch/cmake.out"

pcdir=$(dirname "$(find "$prefix" -name tarnasm.pc)")
flags=$(PKG_CONFIG_PATH=$pcdir pkg-config --cflags --libs tarnasm)
# shellcheck disable=SC2086 # the flags are words
"$cxx" -std=c++20 $cxxflags "$source/examples/library/sweep.cpp" $flags -o "$scratch/pkgconfig-sweep"
"$scratch/pkgconfig-sweep" >"$scratch/pkgconfig.out"

# The manual's library page shows the example and its output by including these very files.
for shown in '```{literalinclude} ../examples/library/sweep.cpp' '```{literalinclude} ../examples/library/sweep.out'; do
    grep -qxF "$shown" "$source/docs/library.md" || { echo "docs/library.md does not show ${shown#* }"; exit 1; }
done
diff -u "$source/examples/library/sweep.out" "$scratch/cmake.out"
diff -u "$source/examples/library/sweep.out" "$scratch/pkgconfig.out"

# The C interface: the shared library through find_package (tarnasm::tarnasm_c) and through
# pkg-config (tarnasm_c), built by the C compiler as C99.
cc=${CC:-cc}
cmake -S "$source/examples/c" -B "$scratch/cmake-c" -G Ninja -DCMAKE_C_COMPILER="$cc" \
    -DCMAKE_PREFIX_PATH="$prefix" >"$scratch/configure-c.log"
cmake --build "$scratch/cmake-c" >"$scratch/build-c.log"
"$scratch/cmake-c/sweep_c" >"$scratch/cmake-c.out"
# shellcheck disable=SC2046 # the flags are words
"$cc" -std=c99 -Wall -Wextra -Werror "$source/examples/c/sweep.c" \
    $(PKG_CONFIG_PATH=$pcdir pkg-config --cflags --libs tarnasm_c) -o "$scratch/pkgconfig-sweep-c"
LD_LIBRARY_PATH=$(dirname "$(find "$prefix" -name 'libtarnasm.so.1')") "$scratch/pkgconfig-sweep-c" >"$scratch/pkgconfig-c.out"
for shown in '```{literalinclude} ../examples/c/sweep.c' '```{literalinclude} ../examples/c/sweep.out'; do
    grep -qxF "$shown" "$source/docs/c-interface.md" || { echo "docs/c-interface.md does not show ${shown#* }"; exit 1; }
done
diff -u "$source/examples/c/sweep.out" "$scratch/cmake-c.out"
diff -u "$source/examples/c/sweep.out" "$scratch/pkgconfig-c.out"
echo "the C++ and C consumers built and ran and printed what the manual shows"
