// SameFile: whether two file names name one file, which a tool must not both read and replace.
#pragma once

#include "support/Utf8Path.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace tarnasm::tools {

/// Whether the UTF-8 names name one existing file (through links and other spellings too);
/// false when either does not exist.
inline bool isSameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(pathFromUtf8(a), pathFromUtf8(b), ec) && !ec;
}

} // namespace tarnasm::tools
