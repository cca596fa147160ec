#!/usr/bin/env bash
# Loads the shared library from a foreign host: Python's ctypes or C# under Mono.
#   hosts.sh ctypes|csharp <sanitized: 0|1> <libtarnasm.so> <this folder> <scratch dir>
set -euo pipefail
host=$1 sanitized=$2 library=$3 here=$4 scratch=$5
if [[ $sanitized == 1 ]]; then
    echo "skipped: a sanitized library loads only into a program built with the sanitizers"
    exit 77
fi
mkdir -p "$scratch"
case $host in
ctypes)
    exec /usr/bin/python3 "$here/ctypes_test.py" "$library"
    ;;
csharp)
    if ! command -v mcs >/dev/null || ! command -v mono >/dev/null; then
        echo "skipped: needs mcs and mono (Debian: mono-mcs mono-runtime)"
        exit 77
    fi
    mcs -nologo -warnaserror -out:"$scratch/PInvokeTest.exe" "$here/PInvoke_test.cs"
    # Mono finds DllImport("tarnasm") as libtarnasm.so on the library path.
    LD_LIBRARY_PATH=$(dirname "$library") exec mono "$scratch/PInvokeTest.exe"
    ;;
esac
echo "unknown host $host"
exit 1
