#pragma once

// What a fuzz target does when an invariant breaks: it names the invariant and
// aborts, so that libFuzzer keeps the input and the corpus replay fails.

#include <cstdio>
#include <cstdlib>

namespace vorelle::fuzz {

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

}  // namespace vorelle::fuzz
