"""Builds the extension tarnasm._core from the C++ sources of the clone this folder lies in: the
library (../lib, ../include) and the core beneath it (../src), into the module itself."""

import glob
import os
import re

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def project_version():
    """The version CMake's project() names: the one source of the version for every part."""
    path = os.path.join(ROOT, "CMakeLists.txt")
    if not os.path.isfile(path) or not os.path.isfile(os.path.join(ROOT, "include", "tarnasm", "tarnasm.h")):
        raise SystemExit("tarnasm: build from the python/ folder of a tarnasm clone; %s is not one" % HERE)
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
        files += glob.glob(os.path.join(ROOT, pattern))
    return sorted(os.path.relpath(f, HERE) for f in files if os.path.basename(f) != "main.cpp")


VERSION = project_version()

# Two compilers at once is what these machines have; TARNASM_BUILD_JOBS sets another number.
ParallelCompile("TARNASM_BUILD_JOBS", default=2).install()

setup(
    version=VERSION,
    ext_modules=[
        Pybind11Extension(
            "tarnasm._core",
            ["src/binding/CoreModule.cpp"] + relative("lib/*.cpp", "src/*.cpp", "src/*/*.cpp"),
            include_dirs=[os.path.join("..", "include"), os.path.join("..", "src"), os.path.join("..", "lib")],
            # setuptools rebuilds everything when one of these is newer than the module.
            depends=relative("include/tarnasm/*.h", "lib/*.h", "src/*.h", "src/*/*.h"),
            define_macros=[("TARNASM_VERSION", '"%s"' % VERSION)],
            # Internal-fault reports name files relative to the source tree, as in the CMake build.
            extra_compile_args=["-fmacro-prefix-map=../src/=", "-fmacro-prefix-map=../="],
            cxx_std=20,
        ),
    ],
    cmdclass={"build_ext": build_ext},
)
