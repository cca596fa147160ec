// FileText: whole-file reads and writes for the tests that run the real executable.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testfiles {

/// The file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Replaces the file's contents, creating its folder when missing.
inline void writeFile(const std::filesystem::path& path, const std::string& text)
{
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

} // namespace testfiles
