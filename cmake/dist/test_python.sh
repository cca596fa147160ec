#!/bin/sh
# Checks the source distribution alone: copied into an empty folder, pip installs it into a fresh
# virtual environment without the network, and the module's tests pass against that installation.
set -eu
python=$1
sdist=$2
tests=$3
scratch=$4

rm -rf "$scratch" && mkdir -p "$scratch/alone"
cp "$sdist" "$scratch/alone/"
"$python" -m venv --system-site-packages "$scratch/venv"
(cd "$scratch/alone" && "$scratch/venv/bin/python" -m pip install --no-build-isolation --no-index "./$(basename "$sdist")")
cd "$scratch"
"$scratch/venv/bin/python" - "$sdist" <<'PY'
import importlib.metadata, os, sys, tarnasm
dist = importlib.metadata.distribution("tarnasm")
assert os.path.basename(sys.argv[1]) == "tarnasm-%s.tar.gz" % dist.version == "tarnasm-%s.tar.gz" % tarnasm.__version__, dist.version
assert dist.metadata["License"] == "Apache-2.0", dist.metadata["License"]
assert any(f.name == "LICENSE" for f in dist.files), "no LICENSE in the installed distribution"
assert "numpy" in (dist.metadata.get_all("Provides-Extra") or []), "no numpy extra"
PY
"$scratch/venv/bin/python" -m pytest -q -p no:cacheprovider "$tests"
