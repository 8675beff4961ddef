// Tests that need a display or a device skip where there is none, except in
// CI (CI=true), where a missing display or device is a failure: a run that
// skipped every picture test must not pass for one that checked them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

inline bool InCi()
{
    const char* v = std::getenv("CI");
    return v && (std::strcmp(v, "true") == 0 || std::strcmp(v, "1") == 0);
}

// Use in a void function (SetUp, a test body): skips, or fails in CI.
#define SKIP_UNLESS_CI(why)                                         \
    do {                                                            \
        if (InCi()) FAIL() << (why) << " (required in CI)";         \
        GTEST_SKIP() << (why);                                      \
    } while (0)
