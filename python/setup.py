"""Builds the package tarnasm: the Python files of src/tarnasm with the C interface's shared library
beside them, built with CMake (library/CMakeLists.txt) from the C++ sources. In a clone they are the
clone's own (../); a source distribution carries a copy of them in core/, so that it builds on its
own. One library serves every Python 3 of a platform, so the wheel is tagged py3-none-<platform>.

Two variables of the environment let a release package a library built elsewhere:
TARNASM_LIBRARY (its path; nothing is built) and TARNASM_PLATFORM (the wheel's platform tag, such
as win_amd64 for a cross-built tarnasm.dll)."""

import os
import platform
import re
import shutil
import subprocess
import sys
import tempfile

from setuptools import Distribution, setup
from setuptools.command.build_py import build_py
from setuptools.command.sdist import sdist
try:
    from setuptools.command.bdist_wheel import bdist_wheel
except ImportError:  # setuptools before 70.1 (Debian 12's) leaves it to the package wheel
    from wheel.bdist_wheel import bdist_wheel

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORE_TREES = ("src", "lib", "include")
CORE = os.path.join(HERE, "core") if os.path.isfile(os.path.join(HERE, "core", "include", "tarnasm", "tarnasm.h")) \
    else ROOT


def project_version():
    """The version CMake's project() names: the one source of the version for every part."""
    path = os.path.join(CORE, "CMakeLists.txt")
    if not os.path.isfile(path) or not os.path.isfile(os.path.join(CORE, "include", "tarnasm", "tarnasm.h")):
        raise SystemExit("tarnasm: build from a source distribution or the python/ folder of a tarnasm clone;"
                         " %s is neither" % HERE)
    with open(path, encoding="utf-8") as f:
        match = re.search(r"project\(\s*tarnasm\s+VERSION\s+([0-9.]+)", f.read())
    if match is None:
        raise SystemExit("tarnasm: no project(tarnasm VERSION ...) in %s" % path)
    return match.group(1)


def target_platform():
    return os.environ.get("TARNASM_PLATFORM") or None


def library_name(tag):
    """The file the package loads (tarnasm._core.library_name) on the wheel's platform."""
    if tag.startswith("win"):
        return "tarnasm.dll"
    if tag.startswith("macosx"):
        return "libtarnasm.1.dylib"
    return "libtarnasm.so.1"


def glibc_needed(library):
    """The highest GLIBC_2.N symbol version the library needs, as N; None without objdump."""
    try:
        dump = subprocess.run(["objdump", "-T", library], capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    return max((int(minor) for minor in re.findall(r"GLIBC_2\.(\d+)", dump)), default=0)


def platform_tag(library):
    """The wheel's platform: given, or this machine's. On Linux it is the manylinux tag of the
    oldest glibc that has every symbol version the library needs, which is all it needs."""
    given = target_platform()
    if given:
        return given
    machine = platform.machine().lower()
    if sys.platform.startswith("linux"):
        minor = glibc_needed(library)
        if minor is not None:
            return "manylinux_2_%d_%s" % (minor, machine)
        return "linux_%s" % machine
    from setuptools._distutils.util import get_platform
    return get_platform().replace("-", "_").replace(".", "_")


def build_library(version, scratch):
    """Builds the shared library with CMake and returns its path."""
    build = os.path.join(scratch, "build")
    jobs = os.environ.get("TARNASM_BUILD_JOBS", "2")
    subprocess.run(["cmake", "-S", os.path.join(HERE, "library"), "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                    "-DTARNASM_CORE=" + CORE, "-DTARNASM_LIBRARY_VERSION=" + version], check=True)
    subprocess.run(["cmake", "--build", build, "--parallel", jobs], check=True)
    for name in ("libtarnasm.so.1", "tarnasm.dll", "libtarnasm.1.dylib"):
        path = os.path.join(build, name)
        if os.path.isfile(path):
            return path
    raise SystemExit("tarnasm: the CMake build made no shared library in %s" % build)


class BuildWithLibrary(build_py):
    """Puts the shared library into the package, built here or given (TARNASM_LIBRARY)."""

    def run(self):
        super().run()
        given = os.environ.get("TARNASM_LIBRARY")
        with tempfile.TemporaryDirectory() as scratch:
            library = given or build_library(VERSION, scratch)
            name = library_name(target_platform() or sys.platform)
            shutil.copyfile(library, os.path.join(self.build_lib, "tarnasm", name))
            self.distribution.tarnasm_platform = platform_tag(library)


class PlatformWheel(bdist_wheel):
    """py3-none-<platform>: no Python ABI is used, only the library's platform."""

    def get_tag(self):
        # Set when the build put the library in; a wheel is never made without that build.
        return "py3", "none", self.distribution.tarnasm_platform


class LibraryDistribution(Distribution):
    # The package carries a compiled library, so it is installed as platform-specific.
    def has_ext_modules(self):
        return True


class SelfContainedSdist(sdist):
    """Copies the C++ trees into the distribution's core/ instead of naming them outside it."""

    def make_release_tree(self, base_dir, files):
        inside = [f for f in files if not os.path.normpath(f).startswith(os.pardir + os.sep)]
        super().make_release_tree(base_dir, inside)
        if CORE != ROOT:
            return
        for tree in CORE_TREES:
            shutil.copytree(os.path.join(ROOT, tree), os.path.join(base_dir, "core", tree), dirs_exist_ok=True)
        shutil.copy2(os.path.join(ROOT, "CMakeLists.txt"), os.path.join(base_dir, "core"))


VERSION = project_version()

setup(
    version=VERSION,
    distclass=LibraryDistribution,
    cmdclass={"build_py": BuildWithLibrary, "bdist_wheel": PlatformWheel, "sdist": SelfContainedSdist},
)
