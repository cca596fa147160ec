// Boundary: the thread's last error, the version, strings handed to the host and their release.
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

void tarnasm_string_free(char* text)
{
    std::free(text);
}

} // extern "C"
