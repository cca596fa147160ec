// Uri: percent decoding and the file name of a document URI.
#include "Uri.h"

#include "support/StringUtil.h"

namespace tarnasm::lsp {

std::string decodeUri(std::string_view uri)
{
    std::string result;
    result.reserve(uri.size());
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size()) {
            const int high = hexDigitValue(uri[i + 1]);
            const int low = hexDigitValue(uri[i + 2]);
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
