# Sphinx configuration of the tarnasm manual: Markdown pages through MyST, the C++ reference
# through Breathe from Doxygen's XML, the Python reference through autodoc of the built module.
import os
import re

project = "tarnasm"
author = "the tarnasm developers"
copyright = "the tarnasm developers; Apache-2.0"
# The project's version, from the one place that holds it.
with open(os.path.join(os.path.dirname(__file__), "..", "CMakeLists.txt"), encoding="utf-8") as cmake:
    version = release = re.search(r"project\(tarnasm VERSION ([0-9.]+)", cmake.read()).group(1)

extensions = ["myst_parser", "breathe", "sphinx.ext.autodoc"]
myst_enable_extensions = ["colon_fence"]
myst_heading_anchors = 3
source_suffix = {".md": "markdown"}
root_doc = "index"
exclude_patterns = ["_build"]
html_theme = "alabaster"
html_theme_options = {"nosidebar": False}
html_static_path = []

# The build passes Doxygen's output folder; a bare sphinx-build finds it where CMake's ci preset puts it.
breathe_projects = {
    "tarnasm": os.environ.get(
        "TARNASM_DOXYGEN_XML",
        os.path.join(os.path.dirname(__file__), "..", "build", "ci", "docs", "doxygen", "xml")),
}
breathe_default_project = "tarnasm"
breathe_domain_by_extension = {"h": "cpp"}
breathe_domain_by_file_pattern = {"*/tarnasm_c.h": "c", "*/tarnasm_version.h": "c"}

# Without the built module (a build without Python) the reference says so instead of failing.
try:
    import tarnasm  # noqa: F401
    module_missing = False
except ImportError:
    module_missing = True


def without_module_reference(app, docname, source):
    if module_missing and docname == "python":
        source[0] = source[0].replace(
            ".. automodule:: tarnasm",
            ".. note:: This build of the manual had no built module at hand; build it in a tree that\n"
            "   builds the Python module (the ci preset does) for the reference.\n\n"
            ".. Not documented here:")


def setup(app):
    app.connect("source-read", without_module_reference)


autodoc_member_order = "bysource"
autodoc_typehints = "description"

# One man page per command-line tool, from the tool's own page.
man_pages = [
    ("commands/tarnasm", "tarnasm", "assembler for the Tarn sequencer", [author], 1),
    ("commands/tarndis", "tarndis", "disassembler and listing tool for the Tarn sequencer", [author], 1),
    ("commands/tarnasm-lsp", "tarnasm-lsp", "language server for tarn assembly", [author], 1),
]
man_show_urls = False
