#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzzing
{
// A property that does not hold stops the fuzzer, which keeps the input.
inline void Require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}
} // namespace fuzzing
