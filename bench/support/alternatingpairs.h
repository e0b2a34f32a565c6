#pragma once

#include "bench/support/shortrun.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Sets the tool's stack against a bare libusb loop doing the same exchanges by alternating the two in
// one process (bare, stack, bare, stack, ...), so that load which comes and goes falls on both alike.
// Short runs and many pairs: a burst of load then spoils a pair or two, and the median stands.
// Each run returns its number of failures. The stack-to-bare ratio of every pair is kept; the median
// and the spread (least to most) are reported as counters and on one line of their own.
inline void runAlternatingPairs(benchmark::State& state, const std::string& what,
                                const std::function<int()>& bare, const std::function<int()>& stack,
                                int pairs = 15)
{
    using Clock = std::chrono::steady_clock;
    int failures = 0;
    auto timed = [&failures](const std::function<int()>& run) {
        const Clock::time_point start = Clock::now();
        failures += run();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> ratios;
    std::vector<double> bareMs;
    std::vector<double> stackMs;
    const int count = int(benchCount(pairs));
    for (auto _ : state) {
        for (int pair = 0; pair < count; ++pair) {
            bareMs.push_back(timed(bare));
            stackMs.push_back(timed(stack));
            ratios.push_back(stackMs.back() / bareMs.back());
        }
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    };
    state.counters["failures"] = failures;
    if (ratios.empty()) {
        return;
    }
    const auto spread = std::minmax_element(ratios.begin(), ratios.end());
    state.counters["bare_ms"] = median(bareMs);
    state.counters["stack_ms"] = median(stackMs);
    state.counters["ratio"] = median(ratios);
    state.counters["ratio_min"] = *spread.first;
    state.counters["ratio_max"] = *spread.second;
    std::printf("%s: stack/bare median %.3f, spread %.3f-%.3f over %zu pairs (bare %.1f ms, stack %.1f ms)\n",
                what.c_str(), median(ratios), *spread.first, *spread.second, ratios.size(), median(bareMs),
                median(stackMs));
    std::fflush(stdout);
}
