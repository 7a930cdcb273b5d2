// The registry file under saves killed at random instants and processes
// racing to save. Each test prints its figures.
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <new>
#include <random>
#include <thread>

#include "settings/PortSettings.h"
#include "store/RegFileAccess.h"
#include "store/RegFileStore.h"
#include "store/SettingsIo.h"
#include "tests/store/TempFiles.h"

namespace tavirap {
namespace {

PortSettings Configuration(int seed) {
    PortSettings s;
    ResetDefaults(s);
    s.totalIndex = seed % kTotalEntries;
    s.parity = seed % 2 == 0 ? "Even Parity" : "Odd Parity";
    for (int i = 0; i < kPortCount; ++i) {
        s.addresses[i] = (i * 7 + seed) % 65;
    }
    return s;
}

int FolderEntries(const std::string& folder) {
    const auto entries = std::filesystem::directory_iterator(folder);
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

class RegFileSlow : public ::testing::Test {
protected:
    TempFolder folder;
    std::string file = folder.Path() + "/registry.reg";
};

// A child saves two configurations in turn as fast as it can and is killed at
// random instants, until enough kills have landed within a commit: each kill
// leaves one configuration whole, never a mixture, and at most the temporary
// file beside it, which the next open for writing removes.
TEST_F(RegFileSlow, KilledSavesLeaveTheOldFileOrTheNew) {
    RegFileStore store(file);
    ASSERT_EQ(SaveSettings(store, Configuration(1)), status::kSuccess);
    const std::string textA = ReadFile(file);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(SaveSettings(store, Configuration(2)), status::kSuccess);
    const auto save = std::chrono::steady_clock::now() - started;
    const std::string textB = ReadFile(file);
    ASSERT_NE(textA, textB);

    // Kills land within the first few saves of each child.
    const auto seed = std::random_device()();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(save * 4).count() + 100);
    int kills = 0, torn = 0, withTemporary = 0;
    for (; kills < 1000 && (kills < 100 || withTemporary < 5); ++kills) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RegFileStore own(file);
            for (;;) {
                SaveSettings(own, Configuration(2));
                SaveSettings(own, Configuration(1));
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int result = 0;
        ASSERT_EQ(::waitpid(child, &result, 0), child);
        ASSERT_TRUE(WIFSIGNALED(result)) << "the saving child stopped on its own";
        const std::string text = ReadFile(file);
        torn += text == textA || text == textB ? 0 : 1;
        withTemporary += Exists(file + ".tmp") ? 1 : 0;
        EXPECT_LE(FolderEntries(folder.Path()), 3);  // the file, its lock and its temporary
    }
    std::printf("%d kills, %d torn, %d cut a commit short (seed %u)\n", kills, torn, withTemporary,
                seed);
    EXPECT_EQ(torn, 0);
    EXPECT_GT(withTemporary, 0) << "no kill landed within a commit";

    if (!Exists(file + ".tmp")) {
        WriteFile(file + ".tmp", textB.substr(0, textB.size() / 2));
    }
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    EXPECT_FALSE(Exists(file + ".tmp"));
    EXPECT_EQ(FolderEntries(folder.Path()), 2);
}

std::string gFile;
FileDescriptor gSecond;

// Two writers find the lock file an older release left open to all. The
// second comes in just as the first is about to replace it, and puts its
// own lock in its place; the first must then wait for that lock, not remove
// it and take one of its own beside it.
TEST_F(RegFileSlow, WritersReplacingAnOldLockNeverBothHoldIt) {
    const std::string lock = file + ".lock";
    WriteFile(lock, "");
    ASSERT_EQ(::chmod(lock.c_str(), 0666), 0);
    gFile = file;
    gBeforeReplacingOldLock = [] {
        gBeforeReplacingOldLock = nullptr;  // the second writer goes straight through
        EXPECT_EQ(LockRegFile(gFile, gSecond), status::kSuccess);
    };
    FileDescriptor first;
    EXPECT_EQ(LockRegFile(file, first), status::kBusy);  // held off for its five seconds
    struct stat named {
    }, held{};
    ASSERT_EQ(::stat(lock.c_str(), &named) | ::fstat(gSecond.Get(), &held), 0);
    EXPECT_EQ(named.st_ino, held.st_ino);
    EXPECT_EQ(named.st_mode & 07777, 0600u);
    gSecond.Close();
    EXPECT_EQ(LockRegFile(file, first), status::kSuccess);
    EXPECT_EQ(FolderEntries(folder.Path()), 1);  // the lock, no other
}

constexpr int kWorkers = 4;
constexpr int kCycles = 50;

// Each worker's record, shared between the processes.
struct Worker {
    int cycles = 0;
    int failures = 0;
    int landed = 0;   // saves written
    int refused = 0;  // saves refused because another process saved since the load
};

// Four processes load, change their own port's address and save as the
// dialog saves, each through its own store: a save over what another process
// saved since the load is refused, never written over it. What must hold:
// every load and save succeeds or is refused, nobody waits forever, and at
// the end each port holds as many increments as its process's saves landed,
// so no save was silently overwritten.
TEST_F(RegFileSlow, ProcessesRacingToLoadAndSaveOverwriteNothing) {
    PortSettings start = Configuration(3);
    start.addresses.fill(0);
    RegFileStore store(file);
    ASSERT_EQ(SaveSettings(store, start), status::kSuccess);
    void* memory = ::mmap(nullptr, sizeof(Worker) * kWorkers, PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    Worker* workers = new (memory) Worker[kWorkers];
    pid_t pids[kWorkers];
    for (int w = 0; w < kWorkers; ++w) {
        pids[w] = ::fork();
        ASSERT_GE(pids[w], 0);
        if (pids[w] == 0) {
            ::alarm(300);  // far beyond any honest wait
            RegFileStore own(file);
            for (int cycle = 0; cycle < kCycles; ++cycle) {
                PortSettings settings;
                const LoadResult loaded = LoadSettings(own, settings);
                workers[w].failures += loaded.readOnly || loaded.saveStatus != status::kSuccess;
                const std::string loadedValues = Fingerprint(StoredValues(own, settings));
                ++settings.addresses[w];
                const SaveOutcome saved =
                    SaveChanges(own, {[&](PortSettings& s) { s = settings; }, loadedValues});
                workers[w].failures += saved.status != status::kSuccess;
                ++(saved.otherChange ? workers[w].refused : workers[w].landed);
                workers[w].cycles = cycle + 1;
            }
            ::_exit(0);
        }
    }
    for (int w = 0; w < kWorkers; ++w) {
        int result = 0;
        ASSERT_EQ(::waitpid(pids[w], &result, 0), pids[w]);
        EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0) << "worker " << w;
    }

    PortSettings final;
    const LoadResult loaded = LoadSettings(store, final);
    EXPECT_FALSE(loaded.readOnly) << loaded.readOnlyReason;
    int landed = 0, refused = 0, overwritten = 0;
    for (int w = 0; w < kWorkers; ++w) {
        EXPECT_EQ(workers[w].cycles, kCycles) << w;
        EXPECT_EQ(workers[w].failures, 0) << w;
        landed += workers[w].landed;
        refused += workers[w].refused;
        overwritten += workers[w].landed - final.addresses[w];
    }
    std::printf("%d processes, %d saves each: %d landed, %d refused, %d silently overwritten\n",
                kWorkers, kCycles, landed, refused, overwritten);
    EXPECT_EQ(overwritten, 0);
    EXPECT_EQ(landed + refused, kWorkers * kCycles);
    ::munmap(memory, sizeof(Worker) * kWorkers);
}

}  // namespace
}  // namespace tavirap
