// SystemError: the operating system's error number behind a failed file call, for hosts that map
// it to their own error types.
#include "Boundary.h"

#include <system_error>

namespace tarnasm::c {

namespace {

thread_local int systemError = 0;

} // namespace

void setSystemError(int code) noexcept
{
    systemError = code;
}

tarnasm_status failFile(const std::filesystem::filesystem_error& e, std::string_view message) noexcept
{
    const tarnasm_status status = fail(TARNASM_ERROR_FILE, message);
    // A Win32 code becomes its errno equivalent here; a code with none is no errno at all.
    const std::error_condition condition = e.code().default_error_condition();
    setSystemError(condition.category() == std::generic_category() ? condition.value() : 0);
    return status;
}

} // namespace tarnasm::c

extern "C" {

int tarnasm_last_system_error(void)
{
    return tarnasm::c::systemError;
}

} // extern "C"
