#!/bin/sh
# Checks both wheels as an index would see them: the files each holds, the platform tag against
# what its library needs (the highest GLIBC_ version; only system DLLs), and the Windows wheel's
# tarnasm.dll through the C interface's test under Wine, with the cross build's test program.
#   test_wheels.sh <dist dir> <version> <objdump for PE> <c_interface_test.exe or ""> <corpus> <scratch>
set -eu
dist=$1
version=$2
pe_objdump=$3
c_test=$4
corpus=$5
scratch=$6

fail() { echo "$*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch/linux" "$scratch/windows"

linux=$(ls "$dist"/tarnasm-"$version"-py3-none-manylinux_2_*_x86_64.whl) || fail "no manylinux wheel in $dist"
windows=$dist/tarnasm-$version-py3-none-win_amd64.whl
test -f "$windows" || fail "no $windows"

package_files="tarnasm/__init__.py tarnasm/_buffer.py tarnasm/_core.py tarnasm/_core.pyi tarnasm/py.typed"
check_files() {  # wheel, the library it must hold, the one it must not
    listing=$(unzip -Z1 "$1")
    for file in $package_files "tarnasm/$2" "tarnasm-$version.dist-info/LICENSE"; do
        printf '%s\n' "$listing" | grep -qx "$file" || fail "$1: no $file"
    done
    ! printf '%s\n' "$listing" | grep -q "$3" || fail "$1 holds $3"
    unzip -p "$1" "tarnasm-$version.dist-info/WHEEL" | grep -qx "Root-Is-Purelib: false" || fail "$1: not platlib"
}
check_files "$linux" libtarnasm.so.1 tarnasm.dll
check_files "$windows" tarnasm.dll libtarnasm.so
unzip -p "$windows" "tarnasm-$version.dist-info/WHEEL" | grep -qx "Tag: py3-none-win_amd64" || fail "$windows: tag"

# The manylinux tag names exactly the newest glibc that the library needs, and glibc is all it needs.
unzip -q -d "$scratch/linux" "$linux" tarnasm/libtarnasm.so.1
library=$scratch/linux/tarnasm/libtarnasm.so.1
tagged=$(basename "$linux" | sed 's/.*manylinux_2_\([0-9]*\)_x86_64.whl/\1/')
needed=$(objdump -T "$library" | grep -o 'GLIBC_2\.[0-9]*' | cut -d. -f2 | sort -n | tail -1)
test "$tagged" = "$needed" || fail "$linux is tagged for glibc 2.$tagged, its library needs 2.$needed"
others=$(objdump -p "$library" | awk '/NEEDED/ { print $2 }' | grep -v -x -e 'libc.so.6' -e 'libm.so.6' \
         -e 'ld-linux-x86-64.so.2' || true)
test -z "$others" || fail "the library needs more than glibc: $others"

# Only DLLs that every Windows has.
unzip -q -d "$scratch/windows" "$windows" tarnasm/tarnasm.dll
dll=$scratch/windows/tarnasm/tarnasm.dll
others=$("$pe_objdump" -p "$dll" | awk '/DLL Name:/ { print $3 }' | grep -v -i -x -e 'KERNEL32.dll' -e 'msvcrt.dll' \
         -e 'api-ms-win-.*' || true)
test -z "$others" || fail "tarnasm.dll needs DLLs that are no system DLL: $others"

if [ -z "$c_test" ] || [ ! -f "$c_test" ]; then
    echo "the wheel's tarnasm.dll was not run: no c_interface_test.exe (build the mingw preset first)"
    exit 77
fi
cp "$c_test" "$scratch/windows/tarnasm/"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$scratch/windows/scratch"
/usr/lib/wine/wine64 "$scratch/windows/tarnasm/$(basename "$c_test")" "$scratch/windows/scratch" "$corpus"/*/*.tasm
/usr/lib/wine/wineserver -w
echo "both wheels checked; the Windows wheel's tarnasm.dll passed the C interface's test under Wine"
