// ErrorText: the message of the exception an action throws, for tests that assert whole texts.
#pragma once

#include <string>

/// The what() text of the Error that fn throws, or "(no error)".
template <typename Error, typename Fn>
std::string errorText(Fn fn)
{
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}
