// Utf8Path: file names as UTF-8 text, the form in which the tools take them and print them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

/// The path named by UTF-8 text. On Windows a path made from a plain std::string reads it in the
/// system's code page, so "µs-sweep.tasm" would name another file or none.
inline std::filesystem::path pathFromUtf8(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

/// The path as UTF-8 text; path.string() on Windows gives the code page's text, or throws.
inline std::string utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
