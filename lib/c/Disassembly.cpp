// Disassembly: tarnasm_disassemble and tarnasm_decode, with the decoded-word handle.
#include "Boundary.h"

#include <memory>
#include <string>
#include <vector>

struct tarnasm_decoded
{
    tarnasm::DecodedWord decoded;
    std::string text;
};

namespace {

using tarnasm::c::fail;
using tarnasm::c::guard;
using tarnasm::c::nullArgument;

int variantIndex(const tarnasm::Variant* variant)
{
    if (variant == nullptr) {
        return -1;
    }
    // instructionSet() is one array, so the variant's place in it is its index.
    return static_cast<int>(variant - tarnasm::instructionSet().data());
}

} // namespace

extern "C" {

tarnasm_status tarnasm_disassemble(const uint64_t* words, size_t count, char** text, size_t** unknown,
                                   size_t* unknown_count)
{
    if (text != nullptr) {
        *text = nullptr;
    }
    if (unknown != nullptr) {
        *unknown = nullptr;
    }
    if (unknown_count != nullptr) {
        *unknown_count = 0;
    }
    if (text == nullptr) {
        return nullArgument("text");
    }
    if (words == nullptr && count > 0) {
        return nullArgument("words");
    }
    return guard([&] {
        try {
            *text = tarnasm::c::mallocString(tarnasm::disassemble(std::span<const std::uint64_t>(words, count)));
            return TARNASM_OK;
        } catch (const tarnasm::DisassemblyError& e) {
            std::vector<size_t> addresses;
            for (const tarnasm::UnknownWord& word : e.unknownWords()) {
                addresses.push_back(word.address);
            }
            if (unknown != nullptr) {
                *unknown = tarnasm::c::mallocArray(addresses.data(), addresses.size());
                if (unknown_count != nullptr) {
                    *unknown_count = addresses.size();
                }
            }
            return fail(TARNASM_ERROR_NOT_AN_INSTRUCTION, e.what());
        }
    });
}

void tarnasm_addresses_free(size_t* addresses)
{
    std::free(addresses);
}

tarnasm_status tarnasm_decode(uint64_t word, tarnasm_decoded** decoded, tarnasm_decoded_word* out)
{
    tarnasm::c::clearOut(out);
    if (decoded == nullptr) {
        return nullArgument("decoded");
    }
    *decoded = nullptr;
    return guard([&] {
        auto handle = std::make_unique<tarnasm_decoded>(tarnasm_decoded{tarnasm::decode(word), {}});
        handle->text = handle->decoded.text();
        if (out != nullptr) {
            const tarnasm::DecodedWord& d = handle->decoded;
            *out = {d.word,
                    d.opcode,
                    d.select,
                    variantIndex(d.variant),
                    d.operands.empty() ? nullptr : d.operands.data(),
                    d.operands.size(),
                    d.problem.c_str(),
                    handle->text.c_str()};
        }
        *decoded = handle.release();
        return TARNASM_OK;
    });
}

void tarnasm_decoded_free(tarnasm_decoded* decoded)
{
    delete decoded;
}

} // extern "C"
