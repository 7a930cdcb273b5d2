// The registry file store against the disk's floor: "SAVE", one durable
// commit, beside writing the same bytes as durably; a start on a key in its
// stored form beside the read side of a load; and that read side as the file
// grows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bench/Bench.h"
#include "store/RegFileStore.h"
#include "store/SettingsIo.h"

namespace tavirap::bench {

namespace {

std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The floor of one commit: the same bytes, written with the same durable
// steps (a temporary file, write, flush, rename, flush the folder).
void DurableWrite(const std::string& folder, const std::string& file, const std::string& bytes) {
    const std::string temporary = file + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    Check(fd >= 0, "open " + temporary);
    Check(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
          "write " + temporary);
    Check(::fsync(fd) == 0 && ::close(fd) == 0, "fsync " + temporary);
    Check(::rename(temporary.c_str(), file.c_str()) == 0, "rename " + temporary);
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(directory >= 0 && ::fsync(directory) == 0 && ::close(directory) == 0, "fsync " + folder);
}

// The floor of a load's read side: the file's bytes into memory.
std::size_t ReadFile(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    Check(fd >= 0, "open " + file);
    struct stat info {};
    Check(::fstat(fd, &info) == 0, "fstat " + file);
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    Check(::read(fd, bytes.data(), bytes.size()) == info.st_size, "read " + file);
    ::close(fd);
    return bytes.size();
}

// The read side of a load, through the store: the key opened for reading,
// every value the dialog reads queried into buffers of the sizes it uses, and
// the key closed, with no write-back.
[[gnu::noinline]] void LoadAlone(SettingsStore& store) {
    std::unique_ptr<SettingsKey> key;
    Check(store.OpenKeyReadOnly(kServiceKeyPath, key) == status::kSuccess, "open the key");
    std::uint8_t data[64];
    std::uint32_t size = 4;
    int found = key->QueryValue("MaxPort", nullptr, data, size) == status::kSuccess;
    for (int port = 1; port <= 64; ++port) {
        char name[16];
        std::snprintf(name, sizeof name, "PortAdd%d", port);
        size = 4;
        found += key->QueryValue(name, nullptr, data, size) == status::kSuccess;
    }
    for (const char* name :
         {"DataBit", "StopBit", "Parity", "TRxPort", "BaudRate", "Flow Control"}) {
        size = sizeof data;
        found += key->QueryValue(name, nullptr, data, size) == status::kSuccess;
    }
    Check(found == 71 && key->Close() == status::kSuccess, "read the key's 71 values");
}

// Other drivers' service keys, as a machine's registry file holds them:
// about `kib` KiB of them.
std::string OtherKeys(int kib) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (int n = 0; text.size() < static_cast<std::size_t>(kib) * 1024; ++n) {
        char key[512];
        std::snprintf(key, sizeof key,
                      "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Driver%05d]\r\n"
                      "\"Type\"=dword:00000001\r\n\"Start\"=dword:00000003\r\n"
                      "\"ErrorControl\"=dword:00000001\r\n"
                      "\"ImagePath\"=\"system32\\\\drivers\\\\driver%05d.sys\"\r\n"
                      "\"DisplayName\"=\"Driver number %d\"\r\n\"Group\"=\"Extended Base\"\r\n"
                      "\"Tag\"=hex:01,00,00,00,%02x,00,00,00\r\n\r\n",
                      n, n, n, n % 256);
        text += key;
    }
    return text;
}

// A fresh registry file holding our key, as the dialog's first start leaves it.
std::string FreshRegistry(const std::string& folder, const std::string& name,
                          const std::string& others) {
    const std::string file = folder + "/" + name;
    std::filesystem::remove(file);
    if (!others.empty()) {
        WriteBytes(file, others);
    }
    RegFileStore store(file);
    PortSettings settings;
    Check(LoadSettings(store, settings).saveStatus == status::kSuccess, "create " + file);
    return file;
}

void RegisterCommits(const std::string& where, const std::string& folder, int iterations) {
    const std::string file = FreshRegistry(folder, "registry.reg", "");
    const std::string floorFile = folder + "/floor.reg";
    const std::string bytes = ReadBytes(file);
    // The benchmarks outlive this call: they share one store and record.
    auto store = std::make_shared<RegFileStore>(file);
    auto settings = std::make_shared<PortSettings>();
    LoadSettings(*store, *settings);

    // Each SAVE stores another address, so that it commits; a save of what
    // is stored writes nothing.
    const std::string name = "commit/save/" + where;
    benchmark::RegisterBenchmark(name.c_str(),
                                 [=](benchmark::State& state) {
                                     SideBySide(
                                         state,
                                         [=] {
                                             settings->addresses[0] ^= 1;
                                             SaveSettings(*store, *settings);
                                         },
                                         [=] { DurableWrite(folder, floorFile, bytes); });
                                 })
        ->UseManualTime()
        ->Iterations(iterations)
        ->Unit(benchmark::kMicrosecond);
    Rows().push_back({"SAVE: SaveSettings, " + where + " (floor: 1 durable write of the same " +
                          std::to_string(bytes.size()) + " bytes)",
                      name, "s", "µs", 1.2});
}

// A start on a key already in its stored form reads the file once and
// writes nothing: beside the read side of a load alone.
void RegisterStart(const std::string& folder) {
    const std::string file = FreshRegistry(folder, "start.reg", "");
    auto store = std::make_shared<RegFileStore>(file);
    benchmark::RegisterBenchmark("start/tmpfs",
                                 [=](benchmark::State& state) {
                                     SideBySide(
                                         state,
                                         [=] {
                                             PortSettings settings;
                                             LoadSettings(*store, settings);
                                         },
                                         [=] { LoadAlone(*store); });
                                 })
        ->UseManualTime()
        ->MinTime(0.2)
        ->Unit(benchmark::kMicrosecond);
    Rows().push_back({"Start: LoadSettings on a key in its stored form, tmpfs (floor: Load alone)",
                      "start/tmpfs", "s", "µs", 1.3});
}

// Load alone on the file, beside its floor: reading the file's bytes.
void RegisterLoad(const std::string& name, const std::string& file) {
    auto store = std::make_shared<RegFileStore>(file);
    benchmark::RegisterBenchmark(name.c_str(),
                                 [=](benchmark::State& state) {
                                     SideBySide(
                                         state, [=] { LoadAlone(*store); },
                                         [=] { benchmark::DoNotOptimize(ReadFile(file)); });
                                 })
        ->UseManualTime()
        ->MinTime(0.2)
        ->Unit(benchmark::kMicrosecond);
}

void RegisterLoads(const std::string& folder) {
    for (int kib : {0, 1, 4, 16, 64, 256, 1000}) {
        const std::string others = kib == 0 ? "" : OtherKeys(kib);
        const std::string file =
            FreshRegistry(folder, "load" + std::to_string(kib) + ".reg", others);
        const std::string name = "load/" + std::to_string(kib) + "KiB";
        RegisterLoad(name, file);
        const std::string figure =
            kib == 0 ? "Load alone, the driver's key only (floor: reading the file's bytes)"
                     : "Load alone, beside " + std::to_string(kib) + " KiB of other keys";
        Rows().push_back({figure, name, "s", "µs", 0, kib == 0 ? 50.0 : 0});
        Growth().push_back({kib, name});
    }
}

// The parser's worst case: one key's header repeated with a blank line
// between, to just under the 1 MiB limit. Each repeat continues the key's
// section; it once re-scanned all that the key held so far.
void RegisterRepeatedSections(const std::string& folder) {
    std::string others = "REGEDIT4\r\n";
    while (others.size() < 1000 * 1024) {
        others += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n";
    }
    // Written as it stands, our key after it: a save through the store
    // would merge the repeats into one section.
    const std::string file = FreshRegistry(folder, "repeated.reg", "");
    const std::string ours = ReadBytes(file);
    WriteBytes(file, others + ours.substr(ours.find('\n') + 1));
    RegisterLoad("load/repeated-1000KiB", file);
    Rows().push_back({"Load alone, beside 1000 KiB of one key's header repeated with blank lines",
                      "load/repeated-1000KiB", "s", "µs"});
}

// A start on a key that holds only blank lines, up to the 1 MiB limit:
// its 71 values are added and written. Each addition once moved every blank
// line after it, so the time grew with values times lines.
void RegisterBlankLines(const std::string& folder) {
    for (int kib : {250, 500, 1000}) {
        const std::string blank = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" +
                                  std::string(kServiceKeyPath) + "]\n" +
                                  std::string(kib * 1024, '\n');
        const std::string name = "start/blank-lines-" + std::to_string(kib) + "KiB";
        const std::string file = folder + "/blank" + std::to_string(kib) + ".reg";
        const std::string filled =
            FreshRegistry(folder, "filled" + std::to_string(kib) + ".reg", blank);
        auto store = std::make_shared<RegFileStore>(file);
        auto loaded = std::make_shared<RegFileStore>(filled);
        benchmark::RegisterBenchmark(name.c_str(),
                                     [=](benchmark::State& state) {
                                         SideBySide(
                                             state,
                                             [=] {
                                                 WriteBytes(file, blank);
                                                 PortSettings settings;
                                                 LoadSettings(*store, settings);
                                             },
                                             [=] {
                                                 WriteBytes(file, blank);
                                                 LoadAlone(*loaded);
                                             });
                                     })
            ->UseManualTime()
            ->MinTime(0.2)
            ->Unit(benchmark::kMicrosecond);
        Rows().push_back({"Start on a key of " + std::to_string(kib) +
                              " KiB of blank lines: its 71 values added and written (floor: "
                              "rewriting that file and Load alone on the result)",
                          name, "s", "µs"});
    }
}

}  // namespace

void RegisterStoreBenchmarks(const Options& options) {
    RegisterCommits("disk", options.diskFolder, 60);
    RegisterCommits("tmpfs", options.tmpfsFolder, 2000);
    RegisterStart(options.tmpfsFolder);
    RegisterLoads(options.tmpfsFolder);
    RegisterRepeatedSections(options.tmpfsFolder);
    RegisterBlankLines(options.tmpfsFolder);
}

}  // namespace tavirap::bench
