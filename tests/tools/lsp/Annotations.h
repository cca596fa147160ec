// Annotations: test sources with markers: '^' a cursor, "[[...]]" an expected range.
#pragma once

#include "Protocol.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnasm::lsp::test {

/// The text without its markers, and where the markers stood (in UTF-16 positions).
struct Annotations
{
    explicit Annotations(std::string_view annotated);

    std::string text;
    std::vector<Position> points;
    std::vector<Range> ranges;

    Position point() const { return points.at(0); }
};

} // namespace tarnasm::lsp::test
