"""Builds the extension tarnasm._core from the C++ sources: the library (lib, include) and the core
beneath it (src), into the module itself. In a clone they are the clone's own (../); a source
distribution carries a copy of them in core/, so that it builds on its own."""

import glob
import os
import re
import shutil

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup
from setuptools.command.sdist import sdist

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORE_TREES = ("src", "lib", "include")
# Relative to this folder, where pip runs the build.
CORE = "core" if os.path.isfile(os.path.join(HERE, "core", "include", "tarnasm", "tarnasm.h")) else ".."


def project_version():
    """The version CMake's project() names: the one source of the version for every part."""
    path = os.path.join(HERE, CORE, "CMakeLists.txt")
    if not os.path.isfile(path) or not os.path.isfile(os.path.join(HERE, CORE, "include", "tarnasm", "tarnasm.h")):
        raise SystemExit("tarnasm: build from a source distribution or the python/ folder of a tarnasm clone;"
                         " %s is neither" % HERE)
    with open(path, encoding="utf-8") as f:
        match = re.search(r"project\(\s*tarnasm\s+VERSION\s+([0-9.]+)", f.read())
    if match is None:
        raise SystemExit("tarnasm: no project(tarnasm VERSION ...) in %s" % path)
    return match.group(1)


def relative(*patterns):
    """Sources as paths relative to this folder, where pip runs the build; sorted, so that
    every build compiles the same list in the same order."""
    files = []
    for pattern in patterns:
        files += glob.glob(os.path.join(HERE, CORE, pattern))
    return sorted(os.path.relpath(f, HERE) for f in files if os.path.basename(f) != "main.cpp")


class SelfContainedSdist(sdist):
    """Copies the C++ trees into the distribution's core/ instead of naming them outside it."""

    def make_release_tree(self, base_dir, files):
        inside = [f for f in files if not os.path.normpath(f).startswith(os.pardir + os.sep)]
        super().make_release_tree(base_dir, inside)
        if CORE == "core":
            return
        for tree in CORE_TREES:
            shutil.copytree(os.path.join(ROOT, tree), os.path.join(base_dir, "core", tree), dirs_exist_ok=True)
        shutil.copy2(os.path.join(ROOT, "CMakeLists.txt"), os.path.join(base_dir, "core"))


VERSION = project_version()

# Two compilers at once is what these machines have; TARNASM_BUILD_JOBS sets another number.
ParallelCompile("TARNASM_BUILD_JOBS", default=2).install()

setup(
    version=VERSION,
    ext_modules=[
        Pybind11Extension(
            "tarnasm._core",
            ["src/binding/CoreModule.cpp"] + relative("lib/*.cpp", "src/*.cpp", "src/*/*.cpp"),
            include_dirs=[os.path.join(CORE, tree) for tree in ("include", "src", "lib")],
            # setuptools rebuilds everything when one of these is newer than the module.
            depends=relative("include/tarnasm/*.h", "lib/*.h", "src/*.h", "src/*/*.h"),
            define_macros=[("TARNASM_VERSION", '"%s"' % VERSION)],
            # Internal-fault reports name files relative to the source tree, as in the CMake build.
            extra_compile_args=["-fmacro-prefix-map=%s/src/=" % CORE, "-fmacro-prefix-map=%s/=" % CORE],
            cxx_std=20,
        ),
    ],
    cmdclass={"build_ext": build_ext, "sdist": SelfContainedSdist},
)
