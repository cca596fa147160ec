// Boundary: the thread's last error, the statuses' names, the version, strings handed to the host
// and their release.
#include "Boundary.h"

#include <cstdlib>
#include <string>

namespace tarnasm::c {

namespace {

// Per thread, so that concurrent calls never see each other's failure.
thread_local std::string lastErrorText;
thread_local const char* lastError = "";

} // namespace

tarnasm_status fail(tarnasm_status status, std::string_view message) noexcept
{
    try {
        lastErrorText.assign(message);
        lastError = lastErrorText.c_str();
    } catch (...) {
        lastError = "out of memory";
    }
    setSystemError(0);
    return status;
}

void succeed() noexcept
{
    lastError = "";
    setSystemError(0);
}

tarnasm_status nullArgument(std::string_view argument) noexcept
{
    try {
        return fail(TARNASM_ERROR_ARGUMENT, std::string(argument) + " is a null pointer");
    } catch (...) {
        return fail(TARNASM_ERROR_ARGUMENT, "a null pointer");
    }
}

tarnasm_status outOfRange(std::string_view argument, std::size_t index, std::size_t count,
                          std::string_view item) noexcept
{
    try {
        std::string message(argument);
        message += ' ' + std::to_string(index) + " is out of range (" + std::to_string(count) + ' ';
        message += item;
        message += count == 1 ? ")" : "s)";
        return fail(TARNASM_ERROR_ARGUMENT, message);
    } catch (...) {
        return fail(TARNASM_ERROR_ARGUMENT, "an index out of range");
    }
}

char* mallocString(std::string_view text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

} // namespace tarnasm::c

extern "C" {

const char* tarnasm_last_error(void)
{
    return tarnasm::c::lastError;
}

const char* tarnasm_version(void)
{
    // version() is a literal, so its data ends with a NUL byte.
    return tarnasm::version().data();
}

const char* tarnasm_status_string(int status)
{
    switch (status) {
    case TARNASM_OK:
        return "success";
    case TARNASM_ERROR_ARGUMENT:
        return "invalid argument";
    case TARNASM_ERROR_MEMORY:
        return "out of memory";
    case TARNASM_ERROR_FILE:
        return "file error";
    case TARNASM_ERROR_HEX_FORMAT:
        return "malformed .hex text";
    case TARNASM_ERROR_NOT_AN_INSTRUCTION:
        return "not an instruction";
    case TARNASM_ERROR_NOT_FOUND:
        return "not found";
    case TARNASM_ERROR_INTERNAL:
        return "internal error";
    default:
        return "unknown status";
    }
}

void tarnasm_string_free(char* text)
{
    std::free(text);
}

} // extern "C"
