// ProcessStart: the wide command line converted to UTF-8, and binary standard streams, on Windows.
#include "ProcessStart.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace {

#if defined(_WIN32)

std::string utf8FromWide(const wchar_t* wide)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
    text.pop_back();
    return text;
}

/// The arguments from the wide command line; empty when it cannot be split.
std::vector<std::string> wideArguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

#endif

} // namespace

ProcessStart::ProcessStart(int argc, char* argv[])
{
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    arguments_ = wideArguments();
    // The two splitters differ on a few odd quotings; where they count otherwise, the runtime's
    // own arguments are kept.
    if (static_cast<int>(arguments_.size()) != argc) {
        arguments_.clear();
    }
#endif
    if (arguments_.empty()) {
        for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
            arguments_.emplace_back(argv[i]);
        }
    }
    for (std::string& argument : arguments_) {
        pointers_.push_back(argument.data());
    }
    pointers_.push_back(nullptr);
}
