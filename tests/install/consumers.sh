#!/usr/bin/env bash
# Installs the build into a scratch prefix, then builds the library example against it, once
# through find_package and once through pkg-config, runs both, and checks that the README shows
# that example and its output as they are; then the same for the C example against the shared
# library, with docs/c-interface.md. The consumers compile and link with the build's own
# compiler flags, so that a library built on another standard library (libc++) links at all.
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

# The README's code block after "## Use as a library", and the output block after it.
awk '/^## Use as a library/ { on = 1 } on && /^```cpp$/ { grab = 1; next } grab && /^```$/ { exit } grab' \
    "$source/README.md" >"$scratch/readme.cpp"
awk '/^## Use as a library/ { on = 1 } on && /^```text$/ { grab = 1; next } grab && /^```$/ { exit } grab' \
    "$source/README.md" >"$scratch/readme.out"
diff -u "$source/examples/library/sweep.cpp" "$scratch/readme.cpp"
diff -u "$scratch/readme.out" "$scratch/cmake.out"
diff -u "$scratch/readme.out" "$scratch/pkgconfig.out"

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
awk '/^```c$/ { grab = 1; next } grab && /^```$/ { exit } grab' "$source/docs/c-interface.md" >"$scratch/doc.c"
awk '/^```text$/ { grab = 1; next } grab && /^```$/ { exit } grab' "$source/docs/c-interface.md" >"$scratch/doc.out"
diff -u "$source/examples/c/sweep.c" "$scratch/doc.c"
diff -u "$scratch/doc.out" "$scratch/cmake-c.out"
diff -u "$scratch/doc.out" "$scratch/pkgconfig-c.out"
echo "the C++ and C consumers built and ran; the README and docs/c-interface.md show the examples as they are"
