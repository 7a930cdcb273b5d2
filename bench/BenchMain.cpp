// Runs every benchmark, then prints one table: each figure, ours beside its
// floor measured in the same run, the ratio and the target.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "bench/Bench.h"

namespace tavirap::bench {

std::vector<Row>& Rows() {
    static std::vector<Row> rows;
    return rows;
}

std::vector<GrowthPoint>& Growth() {
    static std::vector<GrowthPoint> points;
    return points;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

void SideBySide(benchmark::State& state, const std::function<void()>& ours,
                const std::function<void()>& floor) {
    using Clock = std::chrono::steady_clock;
    const auto seconds = [](const std::function<void()>& f) {
        const auto start = Clock::now();
        f();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    std::vector<double> oursTimes, floorTimes;
    for (auto _ : state) {
        const double o = seconds(ours);
        const double f = seconds(floor);
        oursTimes.push_back(o);
        floorTimes.push_back(f);
        state.SetIterationTime(o);
    }
    state.counters["ours_s"] = Median(oursTimes);
    state.counters["floor_s"] = Median(floorTimes);
}

void Check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "tavirap_bench: %s: %s\n", what.c_str(), std::strerror(errno));
        std::exit(2);
    }
}

namespace {

// Keeps each benchmark's counters for the table, and shows the usual report.
class Collector : public benchmark::ConsoleReporter {
public:
    Collector() : ConsoleReporter(OO_Tabular) {}  // plain text: scripts/bench keeps a log
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            counters[run.run_name.function_name] = run.counters;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, benchmark::UserCounters> counters;
};

double Scale(const std::string& unit) {
    return unit == "µs" ? 1e6 : unit == "ms" ? 1e3 : 1;
}

void PrintTable(const Collector& collector, std::FILE* out) {
    std::fprintf(out, "| figure | ours | floor | ratio | target |\n|---|---:|---:|---:|---|\n");
    for (Row& row : Rows()) {
        if (!row.benchmark.empty()) {
            const auto found = collector.counters.find(row.benchmark);
            if (found == collector.counters.end()) {
                continue;  // filtered out
            }
            const double scale = row.counter == "s" ? Scale(row.unit) : 1;
            row.ours = found->second.at("ours_" + row.counter) * scale;
            row.floor = found->second.at(row.floorName + "_" + row.counter) * scale;
            // Where the benchmark paired each of ours with a floor's run, the
            // median of those ratios: a slow spell of the machine meets both.
            const auto paired = found->second.find("ratio_" + row.floorName + "_" + row.counter);
            if (paired != found->second.end()) {
                row.ratio = paired->second;
            }
        }
        const double ratio = row.ratio > 0 ? row.ratio : row.floor > 0 ? row.ours / row.floor : 0;
        // A row may have both: a ratio to its floor and a bound of its own.
        std::string target;
        if (row.target > 0) {
            char text[64];
            std::snprintf(text, sizeof text, "≤ %.2f: %s", row.target,
                          ratio <= row.target ? "met" : "**missed**");
            target = text;
        }
        if (row.limit > 0) {
            char text[64];
            std::snprintf(text, sizeof text, "%s< %g %s: %s", target.empty() ? "" : "; ", row.limit,
                          row.unit.c_str(), row.ours < row.limit ? "met" : "**missed**");
            target += text;
        }
        if (target.empty()) {
            target = "—";
        }
        std::fprintf(out, "| %s | %.1f %s | %.1f %s | %.2f | %s |\n", row.figure.c_str(), row.ours,
                     row.unit.c_str(), row.floor, row.unit.c_str(), ratio, target.c_str());
    }
}

// Load time against the size of the file beside our key: the cost of each
// KiB above the key alone, which stays flat when the growth is linear, and
// the least-squares slope through the origin of that excess.
void PrintGrowth(const Collector& collector, std::FILE* out) {
    std::vector<std::pair<double, double>> points;  // KiB, µs
    for (const GrowthPoint& p : Growth()) {
        const auto found = collector.counters.find(p.benchmark);
        if (found != collector.counters.end()) {
            points.emplace_back(p.kib, found->second.at("ours_s") * 1e6);
        }
    }
    if (points.size() < 2 || points[0].first != 0) {
        return;
    }
    const double alone = points[0].second;
    double sxx = 0, sxy = 0;
    std::fprintf(out,
                 "\n| other keys and values | load alone | µs per KiB above the key alone |\n"
                 "|---:|---:|---:|\n| 0 KiB | %.1f µs | — |\n",
                 alone);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto [x, y] = points[i];
        sxx += x * x;
        sxy += x * (y - alone);
        std::fprintf(out, "| %g KiB | %.1f µs | %.2f |\n", x, y, (y - alone) / x);
    }
    // The reader's target: 3 ms per MiB of other keys.
    constexpr double kTarget = 3000.0 / 1024;
    const double slope = sxy / sxx;
    std::fprintf(out,
                 "\nLeast squares: load = %.1f µs + %.2f µs per KiB of other keys "
                 "(%.2f ms per MiB; target ≤ 3 ms per MiB: %s).\n",
                 alone, slope, slope * 1024 / 1000, slope <= kTarget ? "met" : "**missed**");
}

}  // namespace

}  // namespace tavirap::bench

int main(int argc, char** argv) {
    using namespace tavirap::bench;
    benchmark::Initialize(&argc, argv);
    Options options;
    std::string table;
    const std::pair<const char*, std::string*> flags[] = {
        {"--disk=", &options.diskFolder},
        {"--tmpfs=", &options.tmpfsFolder},
        {"--windows=", &options.windowsBuild},
        {"--wine-prefix=", &options.winePrefix},
        {"--wine=", &options.wine},
        {"--table=", &table},
    };
    for (int i = 1; i < argc; ++i) {
        bool known = false;
        for (const auto& [flag, value] : flags) {
            if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
                *value = argv[i] + std::strlen(flag);
                known = true;
            }
        }
        if (!known) {
            std::fprintf(
                stderr,
                "usage: tavirap_bench --disk=FOLDER --tmpfs=FOLDER [--windows=BUILD "
                "--wine-prefix=PREFIX] [--wine=WINE64] [--table=FILE] [benchmark flags]\n");
            return 2;
        }
    }
    if (options.diskFolder.empty() || options.tmpfsFolder.empty()) {
        std::fprintf(stderr, "tavirap_bench: --disk and --tmpfs are needed\n");
        return 2;
    }
    RegisterStoreBenchmarks(options);
    RegisterStartupBenchmarks(options);

    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    std::FILE* out = table.empty() ? stdout : std::fopen(table.c_str(), "w");
    Check(out != nullptr, "cannot write " + table);
    PrintTable(collector, out);
    PrintGrowth(collector, out);
    if (out != stdout) {
        std::fclose(out);
    }
    return 0;
}
