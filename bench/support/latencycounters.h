#pragma once

#include <benchmark/benchmark.h>

#include <QtGlobal>

#include <algorithm>
#include <vector>

// Reports per-call costs in nanoseconds as the median, the 99th percentile and the worst, in
// microseconds: targets are set on the tail, which a mean would hide. Sorts `costs`.
inline void reportLatencies(benchmark::State& state, std::vector<qint64>& costs)
{
    if (costs.empty()) {
        return;
    }
    std::sort(costs.begin(), costs.end());
    state.counters["p50_us"] = double(costs[costs.size() / 2]) / 1000.0;
    state.counters["p99_us"] = double(costs[costs.size() * 99 / 100]) / 1000.0;
    state.counters["max_us"] = double(costs.back()) / 1000.0;
}
