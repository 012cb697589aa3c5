// Invariants the fuzz targets check on every input: a broken one stops the run with its
// description, which libFuzzer then reports with the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool Condition, const char* What) {
    if (Condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", What);
    std::abort();
}
