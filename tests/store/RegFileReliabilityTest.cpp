// The registry file under crashes, races, full and read-only disks, planted
// links and the files of Wine's regedit. Each test prints its figures.
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <random>
#include <set>
#include <thread>

#include "settings/PortSettings.h"
#include "store/RegFile.h"
#include "store/RegFileStore.h"
#include "store/SettingsIo.h"
#include "tests/store/TempFiles.h"

namespace tavirap {
namespace {

// Everything the program saves: the record with its address table.
struct Configuration {
    PortSettings settings;
};

Configuration MakeConfiguration(int seed) {
    Configuration c;
    ResetDefaults(c.settings);
    c.settings.totalIndex = seed % kTotalEntries;
    c.settings.parity = seed % 2 == 0 ? "Even Parity" : "Odd Parity";
    c.settings.baudRate = std::to_string(9600 * (seed % 4 + 1));
    c.settings.mainPort = "COM" + std::to_string(seed % 9 + 1);
    c.settings.flowControl = seed % 2 == 0 ? "None" : "Xon / Xoff";
    for (int i = 0; i < kPortCount; ++i) {
        c.settings.addresses[i] = (i * 7 + seed) % 65;
    }
    return c;
}

Status Save(SettingsStore& store, const Configuration& c) {
    return SaveSettings(store, c.settings);
}

// What a load of the file gives, compared field by field.
testing::AssertionResult Loads(SettingsStore& store, const Configuration& expected,
                               LoadResult* result = nullptr) {
    PortSettings settings;
    const LoadResult loaded = LoadSettings(store, settings);
    if (result != nullptr) {
        *result = loaded;
    }
    const PortSettings& e = expected.settings;
    const auto texts = [](const PortSettings& s) {
        return s.dataBits + "|" + s.stopBits + "|" + s.parity + "|" + s.mainPort + "|" +
               s.baudRate + "|" + s.flowControl + "|" + std::to_string(s.totalIndex);
    };
    if (texts(settings) != texts(e)) {
        return testing::AssertionFailure()
               << "loaded " << texts(settings) << ", saved " << texts(e);
    }
    if (settings.addresses != e.addresses) {
        return testing::AssertionFailure() << "the address table differs";
    }
    return testing::AssertionSuccess();
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class RegFileReliability : public ::testing::Test {
protected:
    TempFolder folder;
    std::string file = folder.Path() + "/registry.reg";
};

// A child saves two configurations in turn as fast as it can and is killed at
// random instants: each kill leaves one configuration whole, never a mixture.
TEST_F(RegFileReliability, KilledSavesLeaveTheOldFileOrTheNew) {
    const Configuration a = MakeConfiguration(1);
    const Configuration b = MakeConfiguration(2);
    RegFileStore store(file);
    ASSERT_EQ(Save(store, a), status::kSuccess);
    const std::string textA = ReadFile(file);
    ASSERT_EQ(Save(store, b), status::kSuccess);
    const std::string textB = ReadFile(file);
    ASSERT_EQ(Save(store, a), status::kSuccess);
    ASSERT_EQ(ReadFile(file), textA);
    ASSERT_NE(textA, textB);

    // Saves take a few milliseconds, mostly flushing; kills land within the
    // first few saves of each child, before, during and after its commits.
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        Save(store, i % 2 == 0 ? b : a);
    }
    const auto save = (std::chrono::steady_clock::now() - started) / 20;
    const auto seed = std::random_device()();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(save * 4).count() + 100);

    const std::set<std::string> allowed{"registry.reg", "registry.reg.lock", "registry.reg.tmp"};
    constexpr int kKills = 500;
    int torn = 0, withTemporary = 0, asA = 0, asB = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RegFileStore own(file);
            for (;;) {
                Save(own, b);
                Save(own, a);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int result = 0;
        ASSERT_EQ(::waitpid(child, &result, 0), child);
        ASSERT_TRUE(WIFSIGNALED(result)) << "the saving child stopped on its own";

        const std::string text = ReadFile(file);
        RegDocument document;
        RegParseError error;
        const bool whole = (text == textA || text == textB) && ParseRegFile(text, document, error);
        torn += whole ? 0 : 1;
        asA += text == textA ? 1 : 0;
        asB += text == textB ? 1 : 0;
        const auto entries = FolderEntries(folder.Path());
        withTemporary += Exists(file + ".tmp") ? 1 : 0;
        for (const auto& name : entries) {
            EXPECT_TRUE(allowed.count(name)) << "left behind: " << name;
        }
    }
    std::printf(
        "%d kills, %d torn (%d left the first configuration, %d the second; %d cut a "
        "commit short and left its temporary file; save %.2f ms, seed %u)\n",
        kKills, torn, asA, asB, withTemporary, Milliseconds(save), seed);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(asA + asB, kKills);

    // The next open for writing removes what a commit cut short left behind,
    // even when it writes nothing.
    if (!Exists(file + ".tmp")) {
        WriteFile(file + ".tmp", textB.substr(0, textB.size() / 2));
    }
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    EXPECT_FALSE(Exists(file + ".tmp"));
    ASSERT_EQ(key->Close(), status::kSuccess);
    ASSERT_EQ(Save(store, b), status::kSuccess);
    EXPECT_EQ(ReadFile(file), textB);
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

// A store that notes how long each open of a key took: the wait for the lock
// and the read of the file.
class TimedStore : public SettingsStore {
public:
    explicit TimedStore(SettingsStore& store) : store_(store) {}

    Status OpenKeyAllAccess(std::string_view path, std::unique_ptr<SettingsKey>& key) override {
        return Timed([&] { return store_.OpenKeyAllAccess(path, key); });
    }
    Status OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) override {
        return Timed([&] { return store_.OpenKeyReadOnly(path, key); });
    }
    Status CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) override {
        return Timed([&] { return store_.CreateKey(path, key); });
    }
    std::string Explain(Status failure) const override { return store_.Explain(failure); }

    std::chrono::steady_clock::duration longest{};

private:
    Status Timed(const std::function<Status()>& open) {
        const auto start = std::chrono::steady_clock::now();
        const Status result = open();
        longest = std::max(longest, std::chrono::steady_clock::now() - start);
        return result;
    }

    SettingsStore& store_;
};

constexpr int kWorkers = 4;
constexpr int kCycles = 200;

// Shared between the processes of the race below.
struct Race {
    struct Worker {
        int cycles = 0;
        int loadFailures = 0;
        int saveFailures = 0;
        double longestOpenMs = 0;
        PortAddressTable lastSaved{};
    };
    Worker workers[kWorkers];
    std::atomic<bool> stop{false};
    std::atomic<long> statesSeen{0};
    std::atomic<long> statesTorn{0};
};

// Four processes load, change their own port's address and save, each through
// its own store. A load-change-save is two transactions, so a save may put
// back an address another process changed in between: such updates are lost
// by design and counted. What must hold: every save succeeds, nobody waits
// forever, every state of the file is whole, and the file at the end is
// exactly what one process saved last.
TEST_F(RegFileReliability, ProcessesRacingToLoadAndSaveLoseNoFile) {
    Configuration start = MakeConfiguration(3);
    start.settings.addresses.fill(0);
    {
        RegFileStore store(file);
        ASSERT_EQ(Save(store, start), status::kSuccess);
    }
    void* memory =
        ::mmap(nullptr, sizeof(Race), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    Race* race = new (memory) Race;

    // A reader without the lock, as another tool would read the file.
    const pid_t observer = ::fork();
    ASSERT_GE(observer, 0);
    if (observer == 0) {
        while (!race->stop) {
            RegDocument document;
            RegParseError error;
            const std::string text = ReadFile(file);
            ++race->statesSeen;
            race->statesTorn += ParseRegFile(text, document, error) ? 0 : 1;
        }
        ::_exit(0);
    }

    constexpr unsigned kTimeoutSeconds = 300;  // far beyond any honest wait
    const auto started = std::chrono::steady_clock::now();
    pid_t workers[kWorkers];
    for (int w = 0; w < kWorkers; ++w) {
        workers[w] = ::fork();
        ASSERT_GE(workers[w], 0);
        if (workers[w] == 0) {
            ::alarm(kTimeoutSeconds);
            Race::Worker& me = race->workers[w];
            RegFileStore fileStore(file);
            TimedStore store(fileStore);
            for (int cycle = 0; cycle < kCycles; ++cycle) {
                PortSettings settings;
                const LoadResult loaded = LoadSettings(store, settings);
                me.loadFailures += loaded.readOnly || loaded.saveStatus != status::kSuccess;
                ++settings.addresses[w];
                me.saveFailures += SaveSettings(store, settings) != status::kSuccess;
                me.lastSaved = settings.addresses;
                me.cycles = cycle + 1;
            }
            me.longestOpenMs = Milliseconds(store.longest);
            ::_exit(0);
        }
    }
    for (int w = 0; w < kWorkers; ++w) {
        int result = 0;
        ASSERT_EQ(::waitpid(workers[w], &result, 0), workers[w]);
        EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0)
            << "worker " << w
            << (WIFSIGNALED(result) && WTERMSIG(result) == SIGALRM ? " waited too long"
                                                                   : " failed");
    }
    const auto elapsed = std::chrono::steady_clock::now() - started;
    race->stop = true;
    int result = 0;
    ASSERT_EQ(::waitpid(observer, &result, 0), observer);

    // The file at the end is the last save of one of the processes, byte for
    // byte: saving that table again over a copy changes nothing.
    const std::string final = ReadFile(file);
    const std::string copy = folder.Path() + "/copy.reg";
    int lastSaver = -1, cycles = 0, lost = 0, loadFailures = 0, saveFailures = 0;
    double longestOpen = 0;
    for (int w = 0; w < kWorkers; ++w) {
        const Race::Worker& worker = race->workers[w];
        WriteFile(copy, final);
        Configuration last = start;
        last.settings.addresses = worker.lastSaved;
        RegFileStore copyStore(copy);
        ASSERT_EQ(Save(copyStore, last), status::kSuccess);
        if (ReadFile(copy) == final) {
            lastSaver = w;
        }
        cycles += worker.cycles;
        loadFailures += worker.loadFailures;
        saveFailures += worker.saveFailures;
        longestOpen = std::max(longestOpen, worker.longestOpenMs);
    }
    ASSERT_NE(lastSaver, -1) << "the file is no process's last save";
    RegFileStore store(file);
    Configuration last = start;
    last.settings.addresses = race->workers[lastSaver].lastSaved;
    EXPECT_TRUE(Loads(store, last));
    for (int w = 0; w < kWorkers; ++w) {
        EXPECT_LE(last.settings.addresses[w], kCycles);
        lost += kCycles - last.settings.addresses[w];
    }
    std::printf(
        "%d processes, %d load-change-save cycles in %.0f ms, %d failed loads, %d failed saves; "
        "longest wait to open the key (lock and read) %.1f ms; %ld file states read without "
        "the lock, %ld torn; %d of %d own-port updates overwritten by another process's save "
        "(by design); the file is process %d's last save\n",
        kWorkers, cycles, Milliseconds(elapsed), loadFailures, saveFailures, longestOpen,
        race->statesSeen.load(), race->statesTorn.load(), lost, kWorkers * kCycles, lastSaver);
    EXPECT_EQ(cycles, kWorkers * kCycles);
    EXPECT_EQ(loadFailures, 0);
    EXPECT_EQ(saveFailures, 0);
    EXPECT_GT(race->statesSeen.load(), 0);
    EXPECT_EQ(race->statesTorn.load(), 0);
    ::munmap(memory, sizeof(Race));
}

// Runs body in a child process with mounts of its own, which vanish with it.
// Returns the child's failures, or "SKIP: why" where mounting is not allowed.
std::string WithOwnMounts(const std::function<std::string()>& body) {
    if (::geteuid() != 0) {
        return "SKIP: mounting a small or read-only file system needs root";
    }
    return RunInChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return std::string("SKIP: no mount namespace of its own: ") + std::strerror(errno);
        }
        return body();
    });
}

std::string Mount(const std::string& where, const char* type, unsigned long flags,
                  const char* options, const char* source = "tavirap-test") {
    if (::mount(source, where.c_str(), type, flags, options) != 0) {
        return "SKIP: cannot mount " + where + ": " + std::strerror(errno);
    }
    return "";
}

// Another program's large value makes the file span many pages, so that the
// disk fills up in the middle of writing the new file.
TEST_F(RegFileReliability, DiskFullInTheMiddleOfACommitLeavesTheOldFile) {
    const std::string disk = folder.Path() + "/disk";
    ASSERT_EQ(::mkdir(disk.c_str(), 0755), 0);
    EXPECT_IN_CHILD(WithOwnMounts([&] {
        if (std::string skip = Mount(disk, "tmpfs", 0, "size=256k,mode=0755"); !skip.empty()) {
            return skip;
        }
        Checks check;
        const std::string file = disk + "/registry.reg";
        RegFileStore store(file);
        {
            std::unique_ptr<SettingsKey> key;
            const std::vector<std::uint8_t> blob(16 * 1024, 0xab);
            check(store.CreateKey("SOFTWARE\\Other", key) == status::kSuccess, "no other key");
            check(key->SetValue("Blob", kRegBinary, blob.data(), 16 * 1024) == status::kSuccess,
                  "no blob");
            check(key->Close() == status::kSuccess, "blob not committed");
        }
        const Configuration a = MakeConfiguration(4);
        const Configuration b = MakeConfiguration(5);
        check(Save(store, a) == status::kSuccess, "first save failed");
        const std::string before = ReadFile(file);

        // Fill the disk, then free a few pages: fewer than the new file needs.
        const std::string filler = disk + "/filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string page(4096, 'x');
        off_t filled = 0;
        while (::write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size())) {
            filled += 4096;
        }
        const bool full = errno == ENOSPC;
        check(::ftruncate(fd, std::max<off_t>(filled - 4 * 4096, 0)) == 0, "not truncated");
        ::close(fd);
        check(full, "the disk did not fill up");
        check(before.size() > 8 * 4096, "the file is too small to be cut short");

        check(Save(store, b) == status::kDiskFull, "the save did not report a full disk");
        const std::string explained = store.Explain(status::kDiskFull);
        check(explained.find(file + ".tmp") != std::string::npos &&
                  explained.find(std::strerror(ENOSPC)) != std::string::npos,
              "unclear: " + explained);
        check(ReadFile(file) == before, "the old file changed");
        check(!Exists(file + ".tmp"), "the temporary file was left");

        LoadResult loaded;
        check(Loads(store, a, &loaded), "the old values do not load");
        check(!loaded.readOnly && loaded.saveStatus == status::kSuccess,
              "the load wrote back a key that holds its values in their stored form");
        check(ReadFile(file) == before, "the old file changed on load");

        ::unlink(filler.c_str());
        check(Save(store, b) == status::kSuccess, "no save after space was freed");
        check(Loads(store, b), "the new values do not load");
        std::printf(
            "disk full: %lld KiB filled, the new file of %zu bytes cut short, the old "
            "one kept\n",
            static_cast<long long>(filled / 1024), before.size());
        ::umount(disk.c_str());
        return check.failures;
    }));
}

// A read-only file system: a tmpfs remounted read-only, and a read-only bind
// mount; each with the lock file there already and without it.
struct ReadOnlyCase {
    const char* name;
    bool bind;
    bool lockFile;
};

class ReadOnlyFileSystem : public RegFileReliability,
                           public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(ReadOnlyFileSystem, LoadShowsTheStoredValuesReadOnly) {
    const ReadOnlyCase& c = GetParam();
    const std::string disk = folder.Path() + "/disk";
    const std::string data = folder.Path() + "/data";
    ASSERT_EQ(::mkdir(disk.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);
    EXPECT_IN_CHILD(WithOwnMounts([&] {
        const std::string skip = c.bind ? Mount(disk, nullptr, MS_BIND, nullptr, data.c_str())
                                        : Mount(disk, "tmpfs", 0, "size=1m,mode=0755");
        if (!skip.empty()) {
            return skip;
        }
        Checks check;
        const std::string file = disk + "/registry.reg";
        const Configuration a = MakeConfiguration(6);
        RegFileStore store(file);
        check(Save(store, a) == status::kSuccess, "not saved");
        if (!c.lockFile) {
            ::unlink((file + ".lock").c_str());
        }
        const std::string before = ReadFile(file);
        const unsigned long remount = MS_REMOUNT | MS_RDONLY | (c.bind ? MS_BIND : 0);
        if (::mount(nullptr, disk.c_str(), nullptr, remount, nullptr) != 0) {
            return std::string("SKIP: cannot remount read-only: ") + std::strerror(errno);
        }
        LoadResult loaded;
        check(Loads(store, a, &loaded), "the stored values do not load");
        check(loaded.readOnly && loaded.readOnlyStatus == status::kAccessDenied,
              "not a read-only start");
        check(loaded.readOnlyReason.find(file) != std::string::npos &&
                  loaded.readOnlyReason.find(std::strerror(EROFS)) != std::string::npos,
              "unclear: " + loaded.readOnlyReason);
        check(Save(store, MakeConfiguration(7)) == status::kAccessDenied, "saved");
        check(ReadFile(file) == before, "the file changed");
        ::umount(disk.c_str());
        return check.failures;
    }));
}

INSTANTIATE_TEST_SUITE_P(Mounts, ReadOnlyFileSystem,
                         ::testing::Values(ReadOnlyCase{"Tmpfs", false, true},
                                           ReadOnlyCase{"TmpfsWithoutLockFile", false, false},
                                           ReadOnlyCase{"Bind", true, true}),
                         [](const auto& info) { return info.param.name; });

// Links planted where the store creates or replaces files are never followed
// for writing: a save replaces the link, or fails cleanly.
TEST_F(RegFileReliability, PlantedLinksAreNotFollowed) {
    const std::string victim = folder.Path() + "/victim";
    const std::string victimText = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Victim]\n\"Kept\"=dword:1\n";
    const std::string missing = folder.Path() + "/created-through-a-link";
    const struct {
        const char* where;
        std::string target;
        Status save;  // a safe replacement, or a clean failure
    } plants[] = {
        {".tmp", victim, status::kSuccess},   {".tmp", missing, status::kSuccess},
        {".lock", victim, status::kIoFailed}, {".lock", missing, status::kIoFailed},
        {"", victim, status::kSuccess},  // the file itself: the link is replaced, not written
                                         // through
    };
    const Configuration a = MakeConfiguration(8);
    const Configuration b = MakeConfiguration(9);
    for (const auto& plant : plants) {
        SCOPED_TRACE(std::string(plant.where) + " -> " + plant.target);
        const std::string link = file + plant.where;
        for (const std::string& path : {file, file + ".tmp", file + ".lock", missing}) {
            ::unlink(path.c_str());
        }
        WriteFile(victim, victimText);
        ::chmod(victim.c_str(), 0600);
        RegFileStore store(file);
        if (*plant.where != '\0') {
            ASSERT_EQ(Save(store, a), status::kSuccess);
        }
        const std::string before = ReadFile(file);
        ::unlink(link.c_str());
        ASSERT_EQ(::symlink(plant.target.c_str(), link.c_str()), 0);

        const mode_t old = ::umask(0);
        const Status saved = Save(store, b);
        ::umask(old);
        EXPECT_EQ(saved, plant.save) << store.Explain(saved);
        EXPECT_EQ(ReadFile(victim), victimText);
        EXPECT_FALSE(Exists(missing));
        struct stat info {};
        ASSERT_EQ(::lstat(file.c_str(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, 0644u);
        ASSERT_EQ(::lstat(victim.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u);
        if (saved == status::kSuccess) {
            EXPECT_TRUE(Loads(store, b));
            EXPECT_FALSE(Exists(file + ".tmp"));
        } else {
            EXPECT_NE(store.Explain(saved).find(link), std::string::npos) << store.Explain(saved);
            EXPECT_EQ(ReadFile(file), before);
        }
    }
}

// A version 5.00 file, as regedit exports it, is loaded and saved in its own format.
TEST_F(RegFileReliability, Version5FileIsLoadedAndStaysVersion5) {
    const std::string other =
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"Name\"=\"Caf\xc3\xa9\"\r\n"
        "\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n\r\n";
    WriteFile(file, Version5("Windows Registry Editor Version 5.00\r\n\r\n" + other +
                             "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]"
                             "\r\n\"MaxPort\"=dword:00000010\r\n\"Parity\"=\"Mark Parity\"\r\n"
                             "\"TRxPort\"=\"COM\xc3\xa9\"\r\n\r\n"));
    RegFileStore store(file);
    Configuration expected;
    ResetDefaults(expected.settings);
    for (int i = 0; i < kPortCount; ++i) {
        expected.settings.addresses[i] = i + 1;
    }
    expected.settings.totalIndex = 3;
    expected.settings.parity = "Mark Parity";
    expected.settings.mainPort = "COM\xc3\xa9";  // UTF-16 in the file, UTF-8 to the program
    LoadResult loaded;
    EXPECT_TRUE(Loads(store, expected, &loaded));
    EXPECT_FALSE(loaded.readOnly);
    EXPECT_EQ(loaded.saveStatus, status::kSuccess);

    const Configuration b = MakeConfiguration(10);
    ASSERT_EQ(Save(store, b), status::kSuccess);
    const std::string text = ReadFile(file);
    ASSERT_EQ(text.substr(0, 2), "\xFF\xFE");
    const std::string utf8 = Utf16ToUtf8(text.substr(2));
    EXPECT_EQ(utf8.rfind("Windows Registry Editor Version 5.00\r\n\r\n" + other, 0), 0u) << utf8;
    EXPECT_NE(utf8.find("\"Parity\"=hex(1):45,00,76,00,65,00,6e,00,20,00,50,00"), std::string::npos)
        << utf8;
    EXPECT_TRUE(Loads(store, b));
}

bool WineInstalled() {
    return ::access("/usr/lib/wine/wine64", X_OK) == 0 ||
           std::system("command -v wine64 >/dev/null") == 0;
}

// The Windows path Wine gives a file of this system.
std::string WinePath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// Both ways with Wine's regedit: what the store writes Wine imports, what
// Wine exports (version 5.00) the store loads and saves, and Wine reads that
// back again.
TEST_F(RegFileReliability, WineRegeditReadsWhatTheStoreWritesAndTheOtherWayRound) {
    const std::string wineRun = TAVIRAP_WINE_RUN;
    const std::string prefix = TAVIRAP_WINE_PREFIX;
    if (!WineInstalled()) {
        GTEST_SKIP() << "Wine is not installed";
    }
    const auto wine = [&](const std::string& arguments) {
        return std::system(
            ("'" + std::string(wineRun) + "' '" + prefix + "' " + arguments + " >/dev/null 2>&1")
                .c_str());
    };
    const std::string keyName =
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT";
    const std::string exported = folder.Path() + "/exported.reg";

    // Ours into Wine's registry, and out again as version 5.00.
    const Configuration a = MakeConfiguration(11);
    RegFileStore store(file);
    ASSERT_EQ(Save(store, a), status::kSuccess);
    ASSERT_EQ(wine("regedit /S '" + WinePath(file) + "'"), 0);
    ASSERT_EQ(wine("regedit /E '" + WinePath(exported) + "' '" + keyName + "'"), 0);
    const std::string text = ReadFile(exported);
    ASSERT_EQ(text.substr(0, 2), "\xFF\xFE") << "not a UTF-16 export";
    RegFileStore exportedStore(exported);
    LoadResult loaded;
    EXPECT_TRUE(Loads(exportedStore, a, &loaded));
    EXPECT_FALSE(loaded.readOnly) << loaded.readOnlyReason;

    // Changed by us in Wine's own format, read back by Wine.
    const Configuration b = MakeConfiguration(12);
    ASSERT_EQ(Save(exportedStore, b), status::kSuccess);
    ASSERT_EQ(ReadFile(exported).substr(0, 2), "\xFF\xFE");
    ASSERT_EQ(wine("regedit /S '" + WinePath(exported) + "'"), 0);
    const std::string again = folder.Path() + "/again.reg";
    ASSERT_EQ(wine("regedit /E '" + WinePath(again) + "' '" + keyName + "'"), 0);
    RegFileStore againStore(again);
    EXPECT_TRUE(Loads(againStore, b));
    std::printf("Wine's regedit: exported %zu bytes of version 5.00, loaded, saved and read back\n",
                text.size());
}

}  // namespace
}  // namespace tavirap
