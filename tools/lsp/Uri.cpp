// Uri: percent decoding and the file name of a document URI.
#include "Uri.h"

namespace tarnasm::lsp {

namespace {

int hexValue(char c) noexcept
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::string decodeUri(std::string_view uri)
{
    std::string result;
    result.reserve(uri.size());
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size()) {
            const int high = hexValue(uri[i + 1]);
            const int low = hexValue(uri[i + 2]);
            if (high >= 0 && low >= 0) {
                result.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        result.push_back(uri[i]);
    }
    return result;
}

std::string uriFileName(std::string_view uri)
{
    const std::size_t slash = uri.rfind('/');
    return decodeUri(slash == std::string_view::npos ? uri : uri.substr(slash + 1));
}

} // namespace tarnasm::lsp
