// The benchmarks' shared parts: where they run, how a figure is set beside
// its floor, and the rows of the table scripts/bench prints.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace tavirap::bench {

struct Options {
    std::string diskFolder;    // a folder on a real disk
    std::string tmpfsFolder;   // a folder on tmpfs
    std::string windowsBuild;  // the bench-windows build; empty: no Windows figures
    std::string winePrefix;    // a booted prefix, its wineserver kept running
    std::string wine = "/usr/lib/wine/wine64";
};

// One line of the table: a benchmark's counters, ours beside the floor's.
struct Row {
    std::string figure;
    std::string benchmark;  // the benchmark's name; empty when the values are given
    std::string counter;    // "s" (seconds, shown in the unit) or "kib"
    std::string unit;       // "µs", "ms" or "KiB"
    double target = 0;      // the ratio to stay within; 0: none
    double limit = 0;       // what ours must stay under, in the unit; 0: none
    double ours = 0, floor = 0;
    double ratio = 0;                 // the benchmark's own ratio; 0: ours / floor
    std::string floorName = "floor";  // whose counters are the floor's ("floor", "form")
};

std::vector<Row>& Rows();

// Sizes of the files beside our key, in KiB, and their load benchmarks' names.
struct GrowthPoint {
    int kib;
    std::string benchmark;
};
std::vector<GrowthPoint>& Growth();

double Median(std::vector<double> values);

// Runs ours and the floor alternately, iteration by iteration, so that both
// meet the same machine; the medians are the counters "ours_s" and "floor_s".
void SideBySide(benchmark::State& state, const std::function<void()>& ours,
                const std::function<void()>& floor);

// Stops the run with the failing call's words.
void Check(bool ok, const std::string& what);

void RegisterStoreBenchmarks(const Options& options);
void RegisterStartupBenchmarks(const Options& options);

}  // namespace tavirap::bench
