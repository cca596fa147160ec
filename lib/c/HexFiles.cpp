// HexFiles: the .hex format through the C interface: text and files, and the word arrays.
#include "Boundary.h"

#include "support/Utf8Path.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using tarnasm::c::failFile;
using tarnasm::c::guard;
using tarnasm::c::nullArgument;

tarnasm_status handOut(const std::vector<std::uint64_t>& read, uint64_t** words, size_t* count)
{
    *words = tarnasm::c::mallocArray(read.data(), read.size());
    *count = read.size();
    return TARNASM_OK;
}

/// A file call whose failure reads "could not <doing> '<path>': <the system's reason>", the
/// same with every C++ standard library (their filesystem_error texts differ).
template <class Body>
tarnasm_status fileCall(const char* doing, const char* path, Body&& body)
{
    return guard([&] {
        try {
            return body();
        } catch (const std::filesystem::filesystem_error& e) {
            return failFile(e, std::string("could not ") + doing + " '" + path + "': " + e.code().message());
        }
    });
}

/// Clears both out-parameters that are given, and fails unless both are.
tarnasm_status clearWords(uint64_t** words, size_t* count)
{
    if (words != nullptr) {
        *words = nullptr;
    }
    if (count != nullptr) {
        *count = 0;
    }
    if (words == nullptr) {
        return nullArgument("words");
    }
    return count == nullptr ? nullArgument("count") : TARNASM_OK;
}

} // namespace

extern "C" {

tarnasm_status tarnasm_read_hex(const char* text, size_t length, uint64_t** words, size_t* count)
{
    if (const tarnasm_status status = clearWords(words, count); status != TARNASM_OK) {
        return status;
    }
    if (text == nullptr && length > 0) {
        return nullArgument("text");
    }
    return guard([&] {
        return handOut(tarnasm::readHex(length == 0 ? std::string_view() : std::string_view(text, length)), words,
                       count);
    });
}

tarnasm_status tarnasm_load_hex(const char* path, uint64_t** words, size_t* count)
{
    if (const tarnasm_status status = clearWords(words, count); status != TARNASM_OK) {
        return status;
    }
    if (path == nullptr) {
        return nullArgument("path");
    }
    return fileCall("load", path, [&] { return handOut(tarnasm::loadHex(pathFromUtf8(path)), words, count); });
}

tarnasm_status tarnasm_write_hex(const uint64_t* words, size_t count, char** text)
{
    if (text != nullptr) {
        *text = nullptr;
    }
    if (text == nullptr) {
        return nullArgument("text");
    }
    if (words == nullptr && count > 0) {
        return nullArgument("words");
    }
    return guard([&] {
        *text = tarnasm::c::mallocString(tarnasm::writeHex(std::span<const std::uint64_t>(words, count)));
        return TARNASM_OK;
    });
}

tarnasm_status tarnasm_save_hex(const char* path, const uint64_t* words, size_t count)
{
    if (path == nullptr) {
        return nullArgument("path");
    }
    if (words == nullptr && count > 0) {
        return nullArgument("words");
    }
    return fileCall("save", path, [&] {
        tarnasm::saveHex(pathFromUtf8(path), std::span<const std::uint64_t>(words, count));
        return TARNASM_OK;
    });
}

void tarnasm_words_free(uint64_t* words)
{
    std::free(words);
}

} // extern "C"
