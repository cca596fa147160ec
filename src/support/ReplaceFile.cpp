// ReplaceFile: the temporary name, the write and the rename.
#include "support/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

namespace {

/// A name beside the target that no other file uses, so the target is replaced only by rename.
std::filesystem::path temporaryNameBeside(const std::filesystem::path& target)
{
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::error_code ec;
    for (;;) {
        std::ostringstream suffix;
        suffix << ".tmp" << std::hex << (random() & 0xFFFFFFFFFFull);
        std::filesystem::path name = target;
        name += suffix.str();
        if (!std::filesystem::exists(name, ec)) {
            return name;
        }
    }
}

std::error_code systemError(int fallback)
{
    return {errno != 0 ? errno : fallback, std::generic_category()};
}

/// Writes text into path through C stdio rather than a file stream: stdio leaves the system's
/// reason of a failure in errno, where a stream keeps only a failbit.
ReplaceFileResult writeText(const std::filesystem::path& path, const std::string& text, std::error_code& reason)
{
    errno = 0;
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
    if (file == nullptr) {
        reason = systemError(EACCES);
        return ReplaceFileResult::cannotOpen;
    }
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
    if (!written) {
        reason = systemError(EIO);
    }
    errno = 0;
    // A network file system may report a failed write only when the file is closed.
    if (std::fclose(file) != 0 && written) {
        reason = systemError(EIO);
        return ReplaceFileResult::cannotWrite;
    }
    return written ? ReplaceFileResult::done : ReplaceFileResult::cannotWrite;
}

} // namespace

ReplaceFileResult replaceFile(const std::filesystem::path& target, const std::function<bool(std::ostream&)>& write)
{
    std::error_code reason;
    return replaceFile(target, write, reason);
}

ReplaceFileResult replaceFile(const std::filesystem::path& target, const std::function<bool(std::ostream&)>& write,
                              std::error_code& reason)
{
    reason.clear();
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(target, ec).type();
    if (type == std::filesystem::file_type::block) {
        // A disk is no place for a program, nor to be replaced.
        reason = std::make_error_code(std::errc::operation_not_permitted);
        return ReplaceFileResult::cannotOpen;
    }
    // The text is made in memory first (a program's text is small), so that what fails on the
    // way to the file is the system's doing and has its reason.
    std::ostringstream text(std::ios::out | std::ios::binary);
    const bool made = write(text);
    if (type == std::filesystem::file_type::character || type == std::filesystem::file_type::fifo ||
        type == std::filesystem::file_type::socket) {
        // A device or a pipe is written into, as a shell redirection would: a rename would put
        // a regular file in its place (as root, even over /dev/null). A socket fails to open.
        const ReplaceFileResult result = writeText(target, text.str(), reason);
        if (result == ReplaceFileResult::done && !made) {
            reason = std::make_error_code(std::errc::io_error);
            return ReplaceFileResult::cannotWrite;
        }
        return result;
    }
    const std::filesystem::path temporary = temporaryNameBeside(target);
    ReplaceFileResult result = writeText(temporary, made ? text.str() : std::string(), reason);
    if (result == ReplaceFileResult::cannotOpen) {
        return result;
    }
    if (result == ReplaceFileResult::done) {
        if (!made) {
            reason = std::make_error_code(std::errc::io_error);
            result = ReplaceFileResult::cannotWrite;
        } else {
            // Replaces an existing target on Windows too (MoveFileExW), where std::rename refuses.
            std::filesystem::rename(temporary, target, reason);
            if (!reason) {
                return ReplaceFileResult::done;
            }
            result = ReplaceFileResult::cannotWrite;
        }
    }
    std::filesystem::remove(temporary, ec);
    return result;
}
