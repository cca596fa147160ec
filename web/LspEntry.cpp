// LspEntry: the language server behind three C functions, for the page's Web Worker, which feeds
// it one message body at a time and takes back what it sends.
#include "Server.h"

#include <tarnasm/tarnasm_c.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <sstream>
#include <string>
#include <vector>

// tarnasm.mjs reads the C interface's structs from the module's memory by offset: these are the
// offsets it uses (wasm32).
static_assert(sizeof(void*) == 4);
static_assert(offsetof(tarnasm_diagnostic, file) == 0 && offsetof(tarnasm_diagnostic, line) == 4 &&
              offsetof(tarnasm_diagnostic, column) == 8 && offsetof(tarnasm_diagnostic, length) == 12 &&
              offsetof(tarnasm_diagnostic, message) == 16 && offsetof(tarnasm_diagnostic, source_line) == 20 &&
              offsetof(tarnasm_diagnostic, entry) == 24 && offsetof(tarnasm_diagnostic, kind) == 28 &&
              sizeof(tarnasm_diagnostic) == 32);
static_assert(offsetof(tarnasm_decoded_word, word) == 0 && offsetof(tarnasm_decoded_word, opcode) == 8 &&
              offsetof(tarnasm_decoded_word, select) == 12 && offsetof(tarnasm_decoded_word, variant) == 16 &&
              offsetof(tarnasm_decoded_word, operands) == 20 && offsetof(tarnasm_decoded_word, operand_count) == 24 &&
              offsetof(tarnasm_decoded_word, problem) == 28 && offsetof(tarnasm_decoded_word, text) == 32 &&
              sizeof(tarnasm_decoded_word) == 40);
static_assert(offsetof(tarnasm_variant_info, mnemonic) == 0 && offsetof(tarnasm_variant_info, opcode) == 4 &&
              offsetof(tarnasm_variant_info, select) == 8 && offsetof(tarnasm_variant_info, signature) == 12 &&
              offsetof(tarnasm_variant_info, operand_count) == 16 && sizeof(tarnasm_variant_info) == 20);
static_assert(offsetof(tarnasm_operand_info, name) == 0 && offsetof(tarnasm_operand_info, is_register) == 4 &&
              offsetof(tarnasm_operand_info, is_address) == 8 && offsetof(tarnasm_operand_info, msb) == 12 &&
              offsetof(tarnasm_operand_info, lsb) == 16 && offsetof(tarnasm_operand_info, minimum) == 24 &&
              offsetof(tarnasm_operand_info, maximum) == 32 && sizeof(tarnasm_operand_info) == 40);

namespace {

struct WorkerServer
{
    std::vector<std::string> replies;
    // Problems the client cannot be told of; the page has no console to show them.
    std::ostringstream log;
    tarnasm::lsp::Server server{[this](std::string_view body) { replies.emplace_back(body); }, log};
};

WorkerServer& workerServer()
{
    static WorkerServer instance;
    return instance;
}

} // namespace

extern "C" {

/// Hands one message body to the server; returns how many messages it sent in answer, or -1
/// when memory ran out (the server's only exception).
TARNASM_C_API int tarnasm_web_lsp_handle(const char* body, std::size_t length)
{
    try {
        WorkerServer& worker = workerServer();
        worker.replies.clear();
        worker.log.str({});
        worker.server.handle(std::string_view(body, length));
        return static_cast<int>(worker.replies.size());
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

/// The body of the index-th message of the last tarnasm_web_lsp_handle; null past the last.
TARNASM_C_API const char* tarnasm_web_lsp_reply(std::size_t index)
{
    const auto& replies = workerServer().replies;
    return index < replies.size() ? replies[index].data() : nullptr;
}

/// Its length in bytes (a body may hold NUL bytes no more than JSON allows, but the length is exact).
TARNASM_C_API std::size_t tarnasm_web_lsp_reply_length(std::size_t index)
{
    const auto& replies = workerServer().replies;
    return index < replies.size() ? replies[index].size() : 0;
}

} // extern "C"
