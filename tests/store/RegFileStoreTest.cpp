// The registry file store on real files in temporary folders: the store
// contract, the program's loads of the files in data/, and failures on disk.
#include "store/RegFileStore.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

#include "store/SettingsIo.h"
#include "tests/store/Bytes.h"
#include "tests/store/StoreContract.h"
#include "tests/store/TempFiles.h"

namespace tavirap {
namespace {

const std::string kData = TAVIRAP_STORE_DATA;

INSTANTIATE_STORE_CONTRACT(RegFile, [] { return std::make_unique<TempRegFileStore>(); });

PortSettings WithParity(const char* parity) {
    PortSettings settings;
    ResetDefaults(settings);
    settings.parity = parity;
    return settings;
}

std::string LoadedParity(SettingsStore& store) {
    PortSettings settings;
    LoadSettings(store, settings);
    return settings.parity;
}

class RegFileStoreTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string file = folder.Path() + "/registry.reg";
};

// Each file in data/golden is the registry file as the program leaves it after
// loading the key from the file of the same name in data/input (none: no file
// at all), and as a save of the values loaded writes it.
TEST_F(RegFileStoreTest, LoadAndSaveWriteTheGoldenFiles) {
    int count = 0;
    for (const auto& golden : std::filesystem::directory_iterator(kData + "/golden")) {
        const std::string name = golden.path().filename().string();
        if (!name.ends_with(".reg")) {
            continue;
        }
        SCOPED_TRACE(name);
        const std::string input = kData + "/input/" + name;
        std::filesystem::remove(file);
        if (Exists(input)) {
            WriteFile(file, ReadFile(input));
        }
        RegFileStore store(file);
        PortSettings settings;
        const LoadResult loaded = LoadSettings(store, settings);
        EXPECT_FALSE(loaded.readOnly) << loaded.readOnlyReason;
        EXPECT_EQ(loaded.saveStatus, status::kSuccess);
        const std::string expected = ReadFile(golden.path().string());
        EXPECT_EQ(ReadFile(file), expected);
        // A key in its stored form is not written again, by a load or a save:
        // the file keeps its inode and its time.
        struct stat before {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        ASSERT_FALSE(LoadSettings(store, settings).readOnly);
        ASSERT_EQ(SaveSettings(store, settings), status::kSuccess);
        EXPECT_EQ(ReadFile(file), expected) << "a save of what was loaded";
        struct stat after {};
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        ++count;
    }
    EXPECT_GE(count, 6);
}

// A damaged or hostile file: its name, the line its error names (0: refused
// for its size) and words the error holds.
struct Hostile {
    std::string name;
    std::string text;
    int line = 0;
    std::string words;
};

std::vector<Hostile> HostileFiles() {
    std::vector<Hostile> files;
    std::ifstream index(kData + "/hostile/index.txt");
    for (std::string line; std::getline(index, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        Hostile h;
        fields >> h.name >> h.line >> std::ws;
        std::getline(fields, h.words);
        h.text = ReadFile(kData + "/hostile/" + h.name);
        files.push_back(h);
    }
    std::string large = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n";
    large += std::string(RegFileStore::kMaxFileSize - large.size(), ';') + "\n";
    files.push_back({"one byte over 1 MiB", large, 0, ""});
    return files;
}

// Neither the store nor the program may change a byte of such a file; the
// program shows the defaults and refuses to save.
TEST_F(RegFileStoreTest, HostileFilesAreLeftAsTheyWereAndTheErrorNamesTheLine) {
    const std::vector<Hostile> cases = HostileFiles();
    EXPECT_GE(cases.size(), 40u);
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(file, c.text);
        const auto expectNamed = [&](const std::string& explained) {
            const std::string where = c.line == 0 ? file + " is larger than 1 MiB"
                                                  : file + ":" + std::to_string(c.line) + ": ";
            EXPECT_EQ(explained.rfind(where, 0), 0u) << explained;
            EXPECT_NE(explained.find(c.words), std::string::npos) << explained;
        };
        RegFileStore store(file);
        PortSettings settings = WithParity("Even Parity");
        const LoadResult loaded = LoadSettings(store, settings);
        EXPECT_TRUE(loaded.readOnly);
        EXPECT_EQ(loaded.readOnlyReason, status::kBadDatabase);
        expectNamed(loaded.readOnlyReason.Text());
        EXPECT_EQ(settings.parity, "No Parity");
        const StoreResult saved = SaveSettings(store, WithParity("Odd Parity"));
        EXPECT_EQ(saved, status::kBadDatabase);
        expectNamed(saved.Text());
        EXPECT_TRUE(ReadFile(file) == c.text);  // not printed: one is a megabyte long
        EXPECT_FALSE(Exists(file + ".tmp"));
    }
}

// A save onto a disk broken after the first save, under a umask that would
// hide the file: it fails, says why and names the file, and the old file
// stays byte for byte; or it succeeds, replacing what was planted. Either way
// no other file is touched and the file is 0644. The disk is a small file
// system of the test's own where that needs root.
struct BrokenDisk {
    const char* name;
    bool needsMount;
    Status status;
    std::function<int(const std::string& disk)> breakIt;  // 0, or -1 with errno
};

void PrintTo(const BrokenDisk& disk, std::ostream* out) {
    *out << disk.name;
}

// Every file in the folder but the store's own, with its mode and bytes.
std::map<std::string, std::string> OtherFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        if (!entry.path().filename().string().starts_with("registry.reg")) {
            files[entry.path().string()] = std::to_string(info.st_mode) + ReadFile(entry.path());
        }
    }
    return files;
}

class Save : public RegFileStoreTest, public ::testing::WithParamInterface<BrokenDisk> {};

TEST_P(Save, OnABrokenDiskKeepsTheOldFileOrReplacesWhatWasPlanted) {
    const BrokenDisk& c = GetParam();
    const std::string disk = folder.Path() + "/disk";
    ASSERT_EQ(::mkdir(disk.c_str(), 0755), 0);
    if (::geteuid() != 0 && c.needsMount) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    EXPECT_IN_CHILD(RunInChild([&] {
        if (c.needsMount &&
            (::unshare(CLONE_NEWNS) != 0 ||
             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             ::mount("tavirap-test", disk.c_str(), "tmpfs", 0, "size=256k,mode=0755") != 0)) {
            return std::string("SKIP: cannot mount: ") + std::strerror(errno);
        }
        ::umask(077);
        const std::string file = disk + "/registry.reg";
        RegFileStore store(file);
        // Another program's large value makes the file span many pages, so
        // that a full disk cuts the new file short.
        std::unique_ptr<SettingsKey> key;
        const Bytes blob(16 * 1024, 0xab);
        EXPECT_EQ(store.CreateKey("SOFTWARE\\Other", key), status::kSuccess);
        EXPECT_EQ(key->SetValue("Blob", kRegBinary, blob.data(), 16 * 1024), status::kSuccess);
        EXPECT_EQ(key->Close(), status::kSuccess);
        EXPECT_EQ(SaveSettings(store, WithParity("Odd Parity")), status::kSuccess);
        const std::string before = ReadFile(file);
        if (c.breakIt(disk) != 0) {
            return std::string("the disk was not broken: ") + std::strerror(errno);
        }
        const auto others = OtherFiles(disk);
        const StoreResult saved = SaveSettings(store, WithParity("Even Parity"));
        EXPECT_EQ(saved, c.status) << saved;
        if (saved == status::kSuccess) {
            EXPECT_EQ(LoadedParity(store), "Even Parity");
        } else {
            EXPECT_NE(saved.Text().find(file), std::string::npos) << saved;
            EXPECT_EQ(ReadFile(file), before);
        }
        EXPECT_EQ(OtherFiles(disk), others);
        struct stat info {};
        EXPECT_TRUE(::lstat((file + ".tmp").c_str(), &info) != 0 || !S_ISREG(info.st_mode));
        for (const auto& [path, mode] : {std::pair{file, 0644u}, {file + ".lock", 0600u}}) {
            EXPECT_EQ(::lstat(path.c_str(), &info), 0);
            EXPECT_TRUE(S_ISREG(info.st_mode) || saved != status::kSuccess) << path;
            EXPECT_TRUE((info.st_mode & 07777) == mode || saved != status::kSuccess) << path;
        }
        ::umount(disk.c_str());
        return std::string(HasFailure() ? "failed" : "");
    }));
}

// Fills the disk, then frees a few pages: fewer than the new file needs.
int FillDisk(const std::string& disk) {
    std::ofstream out(disk + "/filler", std::ios::binary);
    const std::string page(4096, 'x');
    long pages = 0;
    while (out.write(page.data(), 4096) && out.flush()) {
        ++pages;
    }
    out.close();
    return ::truncate((disk + "/filler").c_str(), std::max(pages - 4, 0L) * 4096);
}

// Plants a link at the store's file with the suffix, to a file of another
// program's or to nothing.
BrokenDisk Link(const char* name, const char* suffix, bool toAFile, Status status) {
    return {name, false, status, [=](const std::string& disk) {
                const std::string link = disk + "/registry.reg" + suffix;
                WriteFile(disk + "/victim", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Victim]\n");
                ::unlink(link.c_str());
                return ::symlink((disk + (toAFile ? "/victim" : "/nothing")).c_str(), link.c_str());
            }};
}

INSTANTIATE_TEST_SUITE_P(
    Disks, Save,
    ::testing::Values(BrokenDisk{"TemporaryNameTaken", false, status::kIoFailed,
                                 [](const std::string& disk) {
                                     return ::mkdir((disk + "/registry.reg.tmp").c_str(), 0755);
                                 }},
                      BrokenDisk{"DiskFull", true, status::kDiskFull, FillDisk},
                      BrokenDisk{"ReadOnly", true, status::kWriteProtect,
                                 [](const std::string& disk) {
                                     return ::mount(nullptr, disk.c_str(), nullptr,
                                                    MS_REMOUNT | MS_RDONLY, nullptr);
                                 }},
                      Link("TemporaryLinkedToAFile", ".tmp", true, status::kSuccess),
                      Link("TemporaryLinkedToNothing", ".tmp", false, status::kSuccess),
                      Link("LockLinkedToAFile", ".lock", true, status::kIoFailed),
                      Link("LockLinkedToNothing", ".lock", false, status::kIoFailed)),
    [](const auto& info) { return info.param.name; });

// Only the writers' user may open the lock (one an older release left open to
// all is replaced at the next write), so no other user can hold a save up;
// readers take none; a writer held off gives up, saying the file is busy.
TEST_F(RegFileStoreTest, NoOtherUserCanHoldTheLockAndReadersNeedNone) {
    const std::string lock = file + ".lock";
    WriteFile(lock, "");
    ASSERT_EQ(::chmod(lock.c_str(), 0666) | ::chmod(folder.Path().c_str(), 0755), 0);
    const int heldBefore = ::open(lock.c_str(), O_RDONLY);  // by anyone, before the upgrade
    ASSERT_EQ(::flock(heldBefore, LOCK_SH), 0);
    RegFileStore store(file);
    ASSERT_EQ(SaveSettings(store, WithParity("Odd Parity")), status::kSuccess);
    ::close(heldBefore);
    struct stat info {};
    EXPECT_TRUE(::stat(lock.c_str(), &info) == 0 && (info.st_mode & 07777) == 0600);
    if (::geteuid() == 0) {  // another user is only to be had as root
        EXPECT_IN_CHILD(RunAsUser([&] {
            return std::string(::open(lock.c_str(), O_RDONLY) < 0 ? "" : "another user opened it");
        }));
    }
    const int held = ::open(lock.c_str(), O_RDWR);
    ASSERT_EQ(::flock(held, LOCK_SH), 0);
    PortSettings read;
    EXPECT_EQ(ReadSettingsOnly(store, read), status::kSuccess);
    EXPECT_EQ(read.parity, "Odd Parity");
    const StoreResult saved = SaveSettings(store, WithParity("Even Parity"));
    EXPECT_EQ(saved, status::kBusy);
    EXPECT_NE(saved.Text().find(lock), std::string::npos) << saved;
    ::close(held);
    EXPECT_EQ(ReadFile(file).find("Even"), std::string::npos);
}

// A save keeps the mode, owner and group the file had; a new file is 0644.
TEST_F(RegFileStoreTest, SaveKeepsTheFilesModeOwnerAndGroup) {
    RegFileStore store(file);
    ASSERT_EQ(SaveSettings(store, WithParity("Odd Parity")), status::kSuccess);
    const bool root = ::geteuid() == 0;  // another owner is only to be had as root
    ASSERT_EQ(::chmod(file.c_str(), 0640) | (root ? ::chown(file.c_str(), 12345, 23456) : 0), 0);
    ASSERT_EQ(SaveSettings(store, WithParity("Even Parity")), status::kSuccess);
    EXPECT_EQ(LoadedParity(store), "Even Parity");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_TRUE(!root || (info.st_uid == 12345 && info.st_gid == 23456)) << info.st_uid;
}

// A registry file that is not the file itself: a link (a commit would replace
// the link and leave its target with the old settings) or a FIFO (an open
// would wait for a writer). Refused at once, named, left as it is.
TEST_F(RegFileStoreTest, OnlyTheRegularFileItselfIsUsed) {
    const std::string target = folder.Path() + "/target.reg";
    const std::string text = ReadFile(kData + "/golden/defaults.reg");
    WriteFile(target, text);
    const std::pair<const char*, std::function<int()>> kinds[] = {
        {"link", [&] { return ::symlink(target.c_str(), file.c_str()); }},
        {"fifo", [&] { return ::mkfifo(file.c_str(), 0644); }},
    };
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        ::unlink(file.c_str());
        ASSERT_EQ(make(), 0);
        RegFileStore store(file);
        std::unique_ptr<SettingsKey> key;
        for (const StoreResult& opened : {store.OpenKeyReadOnly(kServiceKeyPath, key),
                                          store.OpenKeyAllAccess(kServiceKeyPath, key)}) {
            EXPECT_EQ(opened, status::kBadDatabase);
            EXPECT_NE(opened.Text().find(file), std::string::npos) << opened;
        }
        struct stat info {};
        EXPECT_TRUE(::lstat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode));
    }
    EXPECT_EQ(ReadFile(target), text);
}

}  // namespace
}  // namespace tavirap
