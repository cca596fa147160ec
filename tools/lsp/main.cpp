// tarnasm-lsp: the language server for tarn assembly, over standard input and output.
#include "Server.h"
#include "Transport.h"
#include "support/ProcessStart.h"

#include <iostream>

int main(int argc, char* argv[])
{
    // The protocol counts bytes: no CR inserted before LF, no stop at a byte 26.
    const ProcessStart process(argc, argv);
    std::ios::sync_with_stdio(false);
    return tarnasm::lsp::serve(std::cin, std::cout, std::cerr, tarnasm::lsp::Transport::kDefaultMaxBody);
}
