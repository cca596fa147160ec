// A shared source line for tests: text, line number and source name ("" for none).
#pragma once

#include "source/SourceLine.h"

#include <memory>
#include <string>

inline std::shared_ptr<const SourceLine> makeLine(const std::string& text, int nr = 7,
                                                  const std::string& name = "prog")
{
    return std::make_shared<const SourceLine>(std::string(text), nr,
                                              name.empty() ? nullptr : std::make_shared<const std::string>(name));
}
