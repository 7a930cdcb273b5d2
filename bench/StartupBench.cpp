// Start-up: a process's birth to its dialog shown, painted and closed, for
// the program beside a bare dialog of the same toolkit; on Linux with the
// peak resident memory of each, on Windows under Wine with the files' sizes.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>

#include "bench/Bench.h"
#include "store/RegFileStore.h"

extern char** environ;

namespace tavirap::bench {

namespace {

struct Child {
    double seconds;
    double maxKib;
};

// Runs the program to its end; it must succeed.
Child Run(const std::vector<std::string>& command, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> env(extraEnv);
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    std::vector<char*> argv, envp;
    for (const auto& a : command) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    for (const auto& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Check(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0,
          "start " + command[0]);
    int status = 0;
    rusage usage{};
    Check(::wait4(pid, &status, 0, &usage) == pid, "wait for " + command[0]);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    errno = 0;
    Check(WIFEXITED(status) && WEXITSTATUS(status) == 0, command.back() + " failed");
    return {seconds, static_cast<double>(usage.ru_maxrss)};
}

// Starts ours, the bare floor and the form's floor in turn, each round in
// another order so that none always follows the same one; the medians of
// time and peak memory of each, and of each round's ratios of ours to each
// floor, which a slow spell of the machine spoils less than the times do.
void StartSideBySide(benchmark::State& state, const std::vector<std::string>& ours,
                     const std::vector<std::string>& floor, const std::vector<std::string>& form,
                     const std::vector<std::string>& env) {
    const std::vector<std::string>* programs[] = {&ours, &floor, &form};
    const char* names[] = {"ours", "floor", "form"};
    std::vector<double> times[3], memory[3], ratios[3];
    int round = 0;
    for (auto _ : state) {
        Child children[3];
        for (int step = 0; step < 3; ++step) {
            const int i = (round + step) % 3;
            children[i] = Run(*programs[i], env);
            times[i].push_back(children[i].seconds);
            memory[i].push_back(children[i].maxKib);
        }
        state.SetIterationTime(children[0].seconds);
        for (int i = 1; i < 3; ++i) {
            ratios[i].push_back(children[0].seconds / children[i].seconds);
        }
        ++round;
    }
    for (int i = 0; i < 3; ++i) {
        state.counters[std::string(names[i]) + "_s"] = Median(times[i]);
        state.counters[std::string(names[i]) + "_kib"] = Median(memory[i]);
        if (i > 0) {
            state.counters["ratio_" + std::string(names[i]) + "_s"] = Median(ratios[i]);
        }
    }
}

double FileKib(const std::string& file) {
    return static_cast<double>(std::filesystem::file_size(file)) / 1024;
}

}  // namespace

void RegisterStartupBenchmarks(const Options& options) {
    // The program's registry file is compiled in; the bench build puts it in
    // its own folder.
    std::filesystem::create_directories(std::filesystem::path(DefaultRegistryFile()).parent_path());
    const std::vector<std::string> ours{TAVIRAP_BENCH_DIALOG};
    const std::vector<std::string> floor{TAVIRAP_FLOOR_BENCH};
    const std::vector<std::string> form{TAVIRAP_FLOOR_FORM_BENCH};
    benchmark::RegisterBenchmark("start/linux",
                                 [=](benchmark::State& state) {
                                     StartSideBySide(state, ours, floor, form,
                                                     {"QT_QPA_PLATFORM=offscreen"});
                                 })
        ->UseManualTime()
        ->Iterations(60)
        ->Unit(benchmark::kMillisecond);
    Rows().push_back({"Linux start to painted dialog and closed, offscreen (floor: a bare QDialog)",
                      "start/linux", "s", "ms", 1.15});
    Rows().push_back(
        {"Linux peak resident memory (floor: the bare QDialog)", "start/linux", "kib", "KiB", 1.1});
    // The same, against the whole form written plainly on Qt: what the framework costs.
    Row formStart{"Linux start, floor: the same form and icon written plainly on Qt", "start/linux",
                  "s", "ms", 1.15};
    formStart.floorName = "form";
    Rows().push_back(formStart);
    Row formMemory{"Linux peak resident memory, floor: the same form written plainly on Qt",
                   "start/linux", "kib", "KiB", 1.1};
    formMemory.floorName = "form";
    Rows().push_back(formMemory);

    if (options.windowsBuild.empty()) {
        return;
    }
    const std::string& build = options.windowsBuild;
    // Both are linked without their symbol tables; ours has the statically
    // linked C++ runtime's exception support besides its own code.
    Rows().push_back({"tavirap.exe size (floor: a bare dialog program, same flags)", "", "", "KiB",
                      1.1, 250, FileKib(build + "/app/tavirap.exe"),
                      FileKib(build + "/bench/tavirap_floor.exe")});
    const std::vector<std::string> wineEnv{"WINEPREFIX=" + options.winePrefix, "WINEDEBUG=-all",
                                           "WINEDLLOVERRIDES=mscoree,mshtml="};
    const std::vector<std::string> winOurs{options.wine, build + "/bench/tavirap_bench_dialog.exe"};
    const std::vector<std::string> winFloor{options.wine, build + "/bench/tavirap_floor_bench.exe"};
    const std::vector<std::string> winForm{options.wine,
                                           build + "/bench/tavirap_floor_form_bench.exe"};
    benchmark::RegisterBenchmark("start/wine",
                                 [=](benchmark::State& state) {
                                     StartSideBySide(state, winOurs, winFloor, winForm, wineEnv);
                                 })
        ->UseManualTime()
        ->Iterations(30)
        ->Unit(benchmark::kMillisecond);
    Rows().push_back(
        {"Windows start under Wine to painted dialog and closed (floor: a bare dialog)",
         "start/wine", "s", "ms", 1.1});
    Row wineForm{
        "Windows start under Wine, floor: the same form, icon and manifest as a plain resource "
        "dialog",
        "start/wine", "s", "ms", 1.1};
    wineForm.floorName = "form";
    Rows().push_back(wineForm);
}

}  // namespace tavirap::bench
