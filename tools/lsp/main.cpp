// tarnasm-lsp: the language server for tarn assembly, over standard input and output.
#include "Server.h"
#include "Transport.h"
#include "ProcessStart.h"

#include <tarnasm/tarnasm.h>

#include <iostream>
#include <string_view>

namespace {

constexpr const char* kUsage = "usage: tarnasm-lsp [--help | --version]\n";

} // namespace

int main(int argc, char* argv[])
{
    // The protocol counts bytes: no CR inserted before LF, no stop at a byte 26.
    ProcessStart process(argc, argv);
    if (process.argc() > 1) {
        const std::string_view argument = process.argv()[1];
        if (process.argc() == 2 && argument == "--version") {
            std::cout << "tarnasm-lsp " << tarnasm::version() << "\n";
            return 0;
        }
        if (process.argc() == 2 && argument == "--help") {
            std::cout << kUsage
                      << "The language server for tarn assembly. It speaks the Language Server Protocol on\n"
                         "standard input and output and is started by the editor, not by hand.\n";
            return 0;
        }
        // An editor that passes arguments we do not know would otherwise wait for a server that
        // never answers the way it expects.
        std::cerr << "tarnasm-lsp: unknown argument '" << argument << "'\n" << kUsage;
        return 2;
    }
    std::ios::sync_with_stdio(false);
    return tarnasm::lsp::serve(std::cin, std::cout, std::cerr, tarnasm::lsp::Transport::kDefaultMaxBody);
}
