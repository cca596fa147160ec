// Test helper: the members of a character class as one text, for comparing whole classes.
#pragma once

#include "asmparser/CharFilter.h"

#include <string>

inline std::string members(const CharFilter& f)
{
    std::string s;
    for (int v = 0; v < 256; ++v) {
        if (f.accept(static_cast<char>(v))) {
            s += static_cast<char>(v);
        }
    }
    return s;
}
