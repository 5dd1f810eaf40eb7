#pragma once

#include <cstdio>
#include <cstdlib>

// How a fuzz target says that an invariant broke: a line on standard error
// and an abort, which libFuzzer and the corpus replay both report as a crash.
[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz target: invariant broken: %s\n", what);
    std::abort();
}

inline void Check(bool condition, const char* what)
{
    if (!condition)
        Fail(what);
}
