/* Check: the C hosts' one test macro; a condition that fails is counted and printed with its place. */
#ifndef TARNASM_TESTS_CHECK_H
#define TARNASM_TESTS_CHECK_H

#include <stdio.h>

static int failures = 0;

#define CHECK(condition, what)                                                   \
    do {                                                                         \
        if (!(condition)) {                                                      \
            ++failures;                                                          \
            printf("%s:%d: %s: %s\n", __FILE__, __LINE__, what, #condition);      \
        }                                                                        \
    } while (0)

#endif
