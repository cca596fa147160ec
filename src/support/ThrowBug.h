// ThrowBug: the report of an internal fault, a state that correct input never reaches.
#pragma once

#include <sstream>
#include <stdexcept>
#include <string>

/// Logs one line at level emergency naming the site; then ends the process with status 1, or,
/// on a thread inside an InternalFaultsThrow scope, throws InternalFault.
[[noreturn]] void throwBug(const char* file, int line, const char* function, const std::string& error);

/// An internal fault reported inside a library call, which must not end its host process.
class InternalFault : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

/// While one lives, internal faults on this thread throw InternalFault instead of exiting.
class InternalFaultsThrow
{
public:
    InternalFaultsThrow();
    ~InternalFaultsThrow();
    InternalFaultsThrow(const InternalFaultsThrow&) = delete;
    InternalFaultsThrow& operator=(const InternalFaultsThrow&) = delete;

private:
    bool outer_;
};

/// Usage: THROW_BUG("validateFields", "opcodeField pointer not set");
/// The second argument is streamed, so values may be chained with <<.
#define THROW_BUG(function, streamed)                                 \
    do {                                                              \
        std::ostringstream throwBugText_;                             \
        throwBugText_ << streamed;                                    \
        throwBug(__FILE__, __LINE__, function, throwBugText_.str());  \
    } while (false)
