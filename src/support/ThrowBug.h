// ThrowBug: the report of an internal fault, a state that correct input never reaches.
#pragma once

#include <sstream>
#include <string>

/// Logs one line at level emergency naming the site and ends the process with status 1.
[[noreturn]] void throwBug(const char* file, int line, const char* function, const std::string& error);

/// Usage: THROW_BUG("validateFields", "opcodeField pointer not set");
/// The second argument is streamed, so values may be chained with <<.
#define THROW_BUG(function, streamed)                                 \
    do {                                                              \
        std::ostringstream throwBugText_;                             \
        throwBugText_ << streamed;                                    \
        throwBug(__FILE__, __LINE__, function, throwBugText_.str());  \
    } while (false)
