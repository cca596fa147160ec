// FuzzSupport: what every fuzz target shares: the property check and a silent log.
#pragma once

#include "support/Logging.h"

#include <cstdio>
#include <cstdlib>

/// A broken property is a finding like a crash: the fuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

// Each target is one translation unit that includes this once: the log stays quiet, so that only
// findings reach the output.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Logging::setLogLevel(Logging::QUIET);
    return 0;
}
