#!/bin/sh
# Checks the Windows packages under Wine: the zip holds the tools; the installer, run silently into
# a chosen folder, installs them and puts them on PATH; the installed tarnasm.exe assembles the
# example word for word as the Linux build does; the uninstaller takes everything away again.
set -eu
dist=$1
version=$2
example=$3
linux_tarnasm=$4
scratch=$5

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
zip=$dist/tarnasm-$version-win64.zip
setup=$dist/tarnasm-$version-win64-setup.exe
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

rm -rf "$scratch" && mkdir -p "$scratch"
listing=$(unzip -Z1 "$zip")
for file in bin/tarnasm.exe bin/tarndis.exe bin/tarnasm-lsp.exe bin/tarnasm.dll lib/libtarnasm.dll.a \
            include/tarnasm/tarnasm_c.h include/tarnasm/tarnasm_version.h share/doc/tarnasm/LICENSE; do
    printf '%s\n' "$listing" | grep -qx "tarnasm-$version-win64/$file" || { echo "$zip: no $file" >&2; exit 1; }
done

# No blank in it: NSIS reads /D= only unquoted, and Wine quotes an argument with a blank.
folder='C:\Tools\tarnasm'
installed="$WINEPREFIX/drive_c/Tools/tarnasm"
"$wine" "$setup" /S "/D=$folder"
"$wineserver" -w
for tool in tarnasm tarndis tarnasm-lsp; do
    test -f "$installed/bin/$tool.exe" || { printf '%s\n' "the installer put no bin/$tool.exe into $folder" >&2; exit 1; }
done
test -f "$installed/Uninstall.exe"

path_of() {
    "$wine" reg query "$1" /v PATH 2>/dev/null | tr -d '\r' || true
}
system_path='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
user_path='HKCU\Environment'
paths=$(path_of "$system_path"; path_of "$user_path")
printf '%s\n' "$paths" | grep -qiF "$folder\\bin" || { printf '%s\n' "bin is not on PATH after the install: $paths" >&2; exit 1; }

cp "$example" "$scratch/example.tasm"
"$linux_tarnasm" -l error -o "$scratch/linux" "$example" >/dev/null
(cd "$scratch" && "$wine" "$installed/bin/tarnasm.exe" -l error -o windows example.tasm >/dev/null)
cmp "$scratch/linux.hex" "$scratch/windows.hex"
"$wine" "$installed/bin/tarndis.exe" --version | tr -d '\r' | grep -qx "tarndis $version"

"$wine" "$installed/Uninstall.exe" /S
"$wineserver" -w
if [ -e "$installed" ]; then
    echo "the uninstaller left:" >&2
    find "$installed" >&2
    exit 1
fi
paths=$(path_of "$system_path"; path_of "$user_path")
if printf '%s\n' "$paths" | grep -qiF "$folder\\bin"; then
    printf '%s\n' "bin is still on PATH after the uninstall: $paths" >&2
    exit 1
fi
