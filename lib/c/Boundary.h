// Boundary: the frame of every C call, which keeps C++ exceptions on this side and leaves the
// reason of a failure for tarnasm_last_error.
#pragma once

#include <tarnasm/tarnasm.h>
#include <tarnasm/tarnasm_c.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string_view>

namespace tarnasm::c {

/// Records the reason of a failing call for this thread and returns its status.
tarnasm_status fail(tarnasm_status status, std::string_view message) noexcept;

/// Records that the call on this thread succeeded.
void succeed() noexcept;

/// Records a file failure, in these words, and the system's error number behind it.
tarnasm_status failFile(const std::filesystem::filesystem_error& e, std::string_view message) noexcept;

/// Sets the system's error number that tarnasm_last_system_error gives (0 for none).
void setSystemError(int code) noexcept;

/// TARNASM_ERROR_ARGUMENT for an argument that must not be null: "program is a null pointer".
tarnasm_status nullArgument(std::string_view argument) noexcept;

/// TARNASM_ERROR_ARGUMENT for an index at or past the count of the items it picks from:
/// "index 3 is out of range (2 diagnostics)". item is the singular noun.
tarnasm_status outOfRange(std::string_view argument, std::size_t index, std::size_t count,
                          std::string_view item) noexcept;

/// Zeroes a struct out-parameter that is not null, before a call that may fail, so that a host
/// never reads pointers left over from an earlier call. Only the struct's own bytes: the 1.0
/// structs never grow.
template <class Struct>
void clearOut(Struct* out) noexcept
{
    if (out != nullptr) {
        std::memset(out, 0, sizeof(Struct));
    }
}

/// Runs the body of a C call: its status, or the status of the exception it threw. Nothing
/// escapes, so a host written in any language keeps running after an internal fault.
template <class Body>
tarnasm_status guard(Body&& body) noexcept
{
    try {
        const tarnasm_status status = body();
        if (status == TARNASM_OK) {
            succeed();
        }
        return status;
    } catch (const std::bad_alloc&) {
        return fail(TARNASM_ERROR_MEMORY, "out of memory");
    } catch (const HexFormatError& e) {
        return fail(TARNASM_ERROR_HEX_FORMAT, e.what());
    } catch (const std::filesystem::filesystem_error& e) {
        return failFile(e, e.what());
    } catch (const std::exception& e) {
        return fail(TARNASM_ERROR_INTERNAL, e.what());
    } catch (...) {
        return fail(TARNASM_ERROR_INTERNAL, "unknown exception");
    }
}

/// A copy in memory from malloc, for the host to give back through the free function that the
/// header names (free() of this library's C runtime, which may not be the host's).
char* mallocString(std::string_view text);

template <class T>
T* mallocArray(const T* items, std::size_t count)
{
    if (count == 0) {
        return nullptr;
    }
    void* memory = std::malloc(count * sizeof(T));
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(memory, items, count * sizeof(T));
    return static_cast<T*>(memory);
}

} // namespace tarnasm::c
