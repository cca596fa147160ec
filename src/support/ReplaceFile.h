// ReplaceFile: writes a file through a temporary file beside it, so that a failure leaves the old one.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <system_error>

enum class ReplaceFileResult
{
    done,
    cannotOpen,  ///< the temporary file could not be created
    cannotWrite, ///< writing or renaming failed; the target is as it was
};

/// Creates a file beside target that no other file uses, opened in binary mode, hands it to
/// write (which returns false on failure) and renames it over target only when all went well.
/// A temporary file left after a failure is removed. A target that is a character device or a
/// FIFO is opened and written as it is; a block device or a socket is refused; none is replaced.
/// Safe to call from several threads.
ReplaceFileResult replaceFile(const std::filesystem::path& target, const std::function<bool(std::ostream&)>& write);

/// As above; on failure reason holds the system's error (no such directory, no space left, ...),
/// or std::errc::io_error when write failed on its own. Cleared on success.
ReplaceFileResult replaceFile(const std::filesystem::path& target, const std::function<bool(std::ostream&)>& write,
                              std::error_code& reason);
