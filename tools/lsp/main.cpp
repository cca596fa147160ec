// tarnasm-lsp: the language server for tarn assembly, over standard input and output.
#include "Server.h"
#include "Transport.h"

#include <iostream>

int main()
{
    std::ios::sync_with_stdio(false);
    return tarnasm::lsp::serve(std::cin, std::cout, std::cerr, tarnasm::lsp::Transport::kDefaultMaxBody);
}
