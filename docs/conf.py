# Sphinx configuration of the tarnasm manual: Markdown pages through MyST, the C++ reference
# through Breathe from Doxygen's XML, the Python reference through autodoc of the built module.
import os
import sys

project = "tarnasm"
author = "the tarnasm developers"
copyright = "the tarnasm developers; Apache-2.0"
version = release = "1.0.0"

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

# Without the built module (a build without Python) the reference documents nothing rather than fail.
try:
    import tarnasm  # noqa: F401
except ImportError:
    autodoc_mock_imports = ["tarnasm"]
    tags.add("no_module")  # noqa: F821 (Sphinx provides tags)
autodoc_member_order = "bysource"
autodoc_typehints = "description"

# One man page per command-line tool, from the tool's own page.
man_pages = [
    ("commands/tarnasm", "tarnasm", "assembler for the Tarn sequencer", [author], 1),
    ("commands/tarndis", "tarndis", "disassembler and listing tool for the Tarn sequencer", [author], 1),
    ("commands/tarnasm-lsp", "tarnasm-lsp", "language server for tarn assembly", [author], 1),
]
man_show_urls = False
