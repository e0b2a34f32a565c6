#pragma once

#include <cstdlib>

// SERVICE_BENCH_SHORT=1 runs every benchmark once, with the least work that still goes through the
// measured path: it shows that a benchmark still runs and what it prints, not what it measures.
inline bool benchShortRun()
{
    static const bool shortRun = [] {
        const char* value = std::getenv("SERVICE_BENCH_SHORT");
        return value && *value && *value != '0';
    }();
    return shortRun;
}

// A benchmark's iteration, repetition or sample count: as given, or one in a short run.
inline long long benchCount(long long full)
{
    return benchShortRun() ? 1 : full;
}

// A benchmark's minimum time in seconds: as given, or next to nothing in a short run.
inline double benchMinTime(double full)
{
    return benchShortRun() ? 0.001 : full;
}
