#!/bin/sh
# The Linux wheel alone, installed without the network into a fresh virtual environment of every
# interpreter found (Debian's CPython, PyPy, each CPython 3.9 to 3.13 under the pyenv root), and
# the module's whole suite run there. pytest comes from Debian's pure-Python packages; numpy only
# Debian's CPython sees (its environment has the system's packages), elsewhere those tests skip.
# Says which interpreters it found and which it did not; a missing one fails the test.
#   test_interpreters.sh <dist dir> <version> <python/tests> <scratch>
set -eu
dist=$1
version=$2
tests=$3
scratch=$4
pyenv=${PYENV_ROOT:-/root/.pyenv}/versions

wheel=$(ls "$dist"/tarnasm-"$version"-py3-none-manylinux_2_*_x86_64.whl)
rm -rf "$scratch" && mkdir -p "$scratch/pytest"
for package in pytest _pytest pluggy iniconfig attr packaging py.py tomli exceptiongroup; do
    ln -s "/usr/lib/python3/dist-packages/$package" "$scratch/pytest/$package"
done

found="" missing="" failed=""
run() {  # name, interpreter, extra venv options
    name=$1 python=$2
    if [ ! -x "$python" ]; then
        missing="$missing $name"
        return
    fi
    found="$found $name"
    venv=$scratch/$name
    "$python" -m venv $3 "$venv" >/dev/null
    if "$venv/bin/python" -m pip install -q --no-index --disable-pip-version-check "$wheel" &&
       (cd "$scratch" && PYTHONPATH="$scratch/pytest" PYTHONDONTWRITEBYTECODE=1 \
            "$venv/bin/python" -m pytest -q -p no:cacheprovider -W ignore::DeprecationWarning "$tests" >"$venv.log" 2>&1); then
        echo "$name: $(tail -1 "$venv.log")"
        return
    fi
    tail -40 "$venv.log" 2>/dev/null || true
    failed="$failed $name"
}
run debian-3.11 /usr/bin/python3 --system-site-packages
run pypy3 /usr/bin/pypy3 ""
for minor in 9 10 11 12 13; do
    python=$(ls -d "$pyenv"/3."$minor".*/bin/python 2>/dev/null | sort -V | tail -1)
    run "cpython-3.$minor" "${python:-$pyenv/3.$minor/bin/python}" ""
done
echo "interpreters found:${found:- none}"
echo "interpreters missing:${missing:- none}"
test -z "$failed" || { echo "failed on:$failed" >&2; exit 1; }
test -z "$missing" || { echo "every interpreter is wanted; install the missing ones" >&2; exit 1; }
