#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Console reporter that also keeps each benchmark's real and CPU time, so that the whole stack can be
// set against a bare libusb loop once every benchmark has run. A benchmark is named by its function and
// arguments ("BM_BareLibusbTransfer/50"); with repetitions, the median stands for it.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") {
                continue;
            }
            std::string key = run.run_name.function_name;
            if (!run.run_name.args.empty()) {
                key += "/" + run.run_name.args;
            }
            m_times[key] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // One line: both times in the benchmarks' own unit and the stack-to-bare ratios. The CPU ratio only
    // means something for benchmarks that measure the whole process's CPU time (work on other threads).
    void printRatio(const std::string& stack, const std::string& bare, bool withCpu = true) const
    {
        const auto s = m_times.find(stack);
        const auto b = m_times.find(bare);
        if (s == m_times.end() || b == m_times.end() || b->second.real <= 0 || b->second.cpu <= 0) {
            return;
        }
        std::printf("%s vs %s: real %.3f vs %.3f (ratio %.3f)", stack.c_str(), bare.c_str(), s->second.real,
                    b->second.real, s->second.real / b->second.real);
        if (withCpu) {
            std::printf(", CPU %.3f vs %.3f (ratio %.3f)", s->second.cpu, b->second.cpu,
                        s->second.cpu / b->second.cpu);
        }
        std::printf("\n");
    }

private:
    struct Times
    {
        double real;
        double cpu;
    };
    std::map<std::string, Times> m_times;
};
