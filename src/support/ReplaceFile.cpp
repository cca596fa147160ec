// ReplaceFile: the temporary name, the write and the rename.
#include "support/ReplaceFile.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

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

/// Moves from over to, replacing a file there. The Windows C runtime's rename refuses an existing
/// target; MoveFileExW replaces it when asked to.
bool renameOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
#if defined(_WIN32)
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return !ec;
#endif
}

} // namespace

ReplaceFileResult replaceFile(const std::filesystem::path& target, const std::function<bool(std::ostream&)>& write)
{
    const std::filesystem::path temporary = temporaryNameBeside(target);
    std::ofstream file(temporary, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file) {
        return ReplaceFileResult::cannotOpen;
    }
    const bool written = write(file);
    file.close();
    if (written && !file.fail() && renameOver(temporary, target)) {
        return ReplaceFileResult::done;
    }
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    return ReplaceFileResult::cannotWrite;
}
