// Annotations: markers taken out of a test source, counted in UTF-16 code units.
#include "Annotations.h"

namespace tarnasm::lsp::test {

Annotations::Annotations(std::string_view annotated)
{
    Position here;
    std::vector<Position> open;
    for (std::size_t i = 0; i < annotated.size(); ++i) {
        const char c = annotated[i];
        if (c == '^') {
            points.push_back(here);
        } else if (annotated.substr(i, 2) == "[[") {
            open.push_back(here);
            ++i;
        } else if (annotated.substr(i, 2) == "]]") {
            ranges.push_back({open.back(), here});
            open.pop_back();
            ++i;
        } else {
            text.push_back(c);
            if (c == '\n') {
                here = {here.line + 1, 0};
            } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
                here.character += (static_cast<unsigned char>(c) >= 0xF0) ? 2 : 1;
            }
        }
    }
}

} // namespace tarnasm::lsp::test
