// ReplaceFile: the temporary name, the write and the rename.
#include "support/ReplaceFile.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

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

} // namespace

ReplaceFileResult replaceFile(const std::filesystem::path& target, const std::function<bool(std::ostream&)>& write)
{
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(target, ec).type();
    if (type == std::filesystem::file_type::block) {
        return ReplaceFileResult::cannotOpen; // a disk is no place for a program, nor to be replaced
    }
    if (type == std::filesystem::file_type::character || type == std::filesystem::file_type::fifo ||
        type == std::filesystem::file_type::socket) {
        // A device or a pipe is written into, as a shell redirection would: a rename would put
        // a regular file in its place (as root, even over /dev/null). A socket fails to open.
        std::ofstream file(target, std::ios::out | std::ios::binary);
        if (!file) {
            return ReplaceFileResult::cannotOpen;
        }
        const bool written = write(file);
        file.close();
        return written && !file.fail() ? ReplaceFileResult::done : ReplaceFileResult::cannotWrite;
    }
    const std::filesystem::path temporary = temporaryNameBeside(target);
    std::ofstream file(temporary, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file) {
        return ReplaceFileResult::cannotOpen;
    }
    const bool written = write(file);
    file.close();
    if (written && !file.fail()) {
        // Replaces an existing target on Windows too (MoveFileExW), where std::rename refuses.
        std::filesystem::rename(temporary, target, ec);
        if (!ec) {
            return ReplaceFileResult::done;
        }
    }
    std::filesystem::remove(temporary, ec);
    return ReplaceFileResult::cannotWrite;
}
