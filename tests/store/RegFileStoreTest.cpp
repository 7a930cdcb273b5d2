// The registry file store on real files in temporary folders.
#include "store/RegFileStore.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "settings/PortSettings.h"
#include "store/RegFile.h"
#include "store/SettingsIo.h"
#include "tests/store/Bytes.h"
#include "tests/store/StoreContract.h"
#include "tests/store/TempFiles.h"

namespace tavirap {
namespace {

std::string Join(std::initializer_list<std::string_view> lines, std::string_view eol) {
    std::string text;
    for (auto line : lines) {
        text += line;
        text += eol;
    }
    return text;
}

struct OwnedFolder {
    TempFolder folder;
};

// A store on a file of its own, for the contract suite.
class TempRegFileStore : private OwnedFolder, public RegFileStore {
public:
    TempRegFileStore() : RegFileStore(folder.Path() + "/registry.reg") {}
};

std::vector<std::string> FileValueNames(SettingsStore& store, std::string_view path) {
    RegDocument document;
    RegParseError error;
    std::vector<std::string> names;
    if (!ParseRegFile(ReadFile(dynamic_cast<RegFileStore&>(store).File()), document, error)) {
        return {"parse error: " + error.message};
    }
    if (const RegSection* section =
            document.FindSection(std::string(kLocalMachine) + "\\" + std::string(path))) {
        for (const auto& entry : section->entries) {
            if (entry.isValue) {
                names.push_back(entry.value.name);
            }
        }
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(RegFile, StoreContract,
                         ::testing::Values(StoreMaker{
                             "RegFile", [] { return std::make_unique<TempRegFileStore>(); },
                             FileValueNames}),
                         StoreMakerName);

// Drops root for the user nobody; "" when done, else why not.
std::string BecomeNobody() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody != nullptr && ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 &&
                   ::setuid(nobody->pw_uid) == 0
               ? ""
               : "cannot become nobody";
}

bool IsRoot() {
    return ::geteuid() == 0;
}

// Runs body in a child process as an ordinary user (nobody, when this is root).
std::string RunAsUser(const std::function<std::string()>& body) {
    return RunInChild([&] {
        const std::string why = IsRoot() ? BecomeNobody() : "";
        return why.empty() ? body() : why;
    });
}

class RegFileStoreTest : public ::testing::Test {
protected:
    // Creates the key with the values given as name and text with its zero.
    void CreateWith(std::initializer_list<std::pair<const char*, std::string_view>> values) {
        RegFileStore store(file);
        std::unique_ptr<SettingsKey> key;
        ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
        for (const auto& [name, text] : values) {
            ASSERT_EQ(
                key->SetValue(name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.data()),
                              static_cast<std::uint32_t>(text.size() + 1)),
                status::kSuccess);
        }
        ASSERT_EQ(key->Close(), status::kSuccess);
    }

    // The value's text up to its zero, or the failing status in words.
    static std::string Text(SettingsKey& key, std::string_view name) {
        char buffer[64] = {};
        std::uint32_t size = sizeof buffer - 1;
        const Status result =
            key.QueryValue(name, nullptr, reinterpret_cast<std::uint8_t*>(buffer), size);
        return result == status::kSuccess ? std::string(buffer)
                                          : "status " + std::to_string(result);
    }

    std::string TextInFile(std::string_view name) {
        RegFileStore store(file);
        std::unique_ptr<SettingsKey> key;
        const Status result = store.OpenKeyReadOnly(kServiceKeyPath, key);
        return result == status::kSuccess ? Text(*key, name) : "open: " + store.Explain(result);
    }

    TempFolder folder;
    std::string file = folder.Path() + "/registry.reg";
};

TEST_F(RegFileStoreTest, WritesTheFileAsRegeditDoes) {
    RegFileStore store(file);
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
    const struct {
        const char* name;
        ValueType type;
        Bytes data;
    } values[] = {
        {"PortAdd1", kRegDword, {1, 0, 0, 0}},
        {"MaxPort", kRegDword, {16, 0, 0, 0}},
        {"DataBit", kRegSz, {'8', 0}},
        {"Parity", kRegSz,
         [] {
             Bytes text = BytesOf("No Parity");
             text.resize(22, 0);
             return text;
         }()},
        {"TRxPort", kRegSz, BytesOf(std::string_view("C:\\dev\\\"tty\"\xc3\xa9\0", 15))},
        {"Flow Control", kRegSz, BytesOf("Hardware")},
        {"Short", kRegDword, {1, 2, 3}},
        {"Wide", 11, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"Blob", kRegBinary, {0xde, 0xad}},
        {"Empty", kRegSz, {}},
        {"Lines", kRegSz, {'a', '\n', 'b', 0}},
        {"", kRegSz, BytesOf(std::string_view("default\0", 8))},
        {"Nothing", kRegNone, {}},
    };
    for (const auto& value : values) {
        ASSERT_EQ(key->SetValue(value.name, value.type, value.data.data(),
                                static_cast<std::uint32_t>(value.data.size())),
                  status::kSuccess);
    }
    ASSERT_EQ(key->Close(), status::kSuccess);

    EXPECT_EQ(
        ReadFile(file),
        Join(
            {"REGEDIT4", "", "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]",
             "\"PortAdd1\"=dword:00000001", "\"MaxPort\"=dword:00000010", "\"DataBit\"=\"8\"",
             "\"Parity\"=hex(1):4e,6f,20,50,61,72,69,74,79,00,00,00,00,00,00,00,00,00,00,00,00,\\",
             "  00", "\"TRxPort\"=\"C:\\\\dev\\\\\\\"tty\\\"\xc3\xa9\"",
             "\"Flow Control\"=hex(1):48,61,72,64,77,61,72,65", "\"Short\"=hex(4):01,02,03",
             "\"Wide\"=hex(b):01,00,00,00,00,00,00,00", "\"Blob\"=hex:de,ad", "\"Empty\"=hex(1):",
             "\"Lines\"=hex(1):61,0a,62,00", "@=\"default\"", "\"Nothing\"=hex(0):", ""},
            "\r\n"));
}

// What regedit exports, and Wine's regedit with LF line ends.
class RegeditExport : public RegFileStoreTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RegeditExport, IsReadAndRewrittenChangingOnlyTheValuesSet) {
    const std::string_view eol = GetParam();
    const auto text = [&](std::string_view flowControl, std::string_view added) {
        std::string lines = Join(
            {"REGEDIT4", "; exported from another machine", "",
             "[HKEY_CURRENT_USER\\Software\\Other]",
             "\"Path\"=\"C:\\\\Program Files\\\\\\\"O\\\"\"", "@=\"default\"", "",
             "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]",
             "\"MaxPort\"=dword:00000010",
             "\"Parity\"=hex(1):4e,6f,20,50,61,72,69,74,79,00,00,00,00,00,00,00,00,00,00,00,00,\\",
             "  00", "; as the driver's installer wrote it", flowControl,
             "  \"Blob\" = hex:01,02, \\", "    03"},
            eol);
        if (!added.empty()) {
            lines += std::string(added) + std::string(eol);
        }
        return lines +
               Join({"",
                     "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT\\Params]",
                     "\"Multi\"=hex(7):61,00,62,00,00,00", "", "[HKLM\\SOFTWARE\\Other]"},
                    eol) +
               "\"Number\"=DWORD:FFFFFFFF";  // no line end at the end of the file
    };
    WriteFile(file, text("\"Flow Control\"=\"Hardware\"", ""));

    RegFileStore store(file);
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    EXPECT_EQ(Text(*key, "FLow Control"), "Hardware");
    EXPECT_EQ(Text(*key, "parity"), "No Parity");
    std::uint8_t data[32];
    std::uint32_t size = sizeof data;
    ValueType type = 0;
    ASSERT_EQ(key->QueryValue("Blob", &type, data, size), status::kSuccess);
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(Bytes(data, data + size), (Bytes{1, 2, 3}));
    size = sizeof data;
    ASSERT_EQ(key->QueryValue("MaxPort", &type, data, size), status::kSuccess);
    EXPECT_EQ(Bytes(data, data + size), (Bytes{16, 0, 0, 0}));

    ASSERT_EQ(key->SetValue("FLow Control", kRegSz, Sz("None").data(), 5), status::kSuccess);
    ASSERT_EQ(key->SetValue("DataBit", kRegSz, Sz("8").data(), 2), status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);
    EXPECT_EQ(ReadFile(file),
              text("\"Flow Control\"=\"None\"", "\"DataBit\"=\"8\"") + std::string(eol));

    ASSERT_EQ(store.OpenKeyReadOnly("SOFTWARE\\Other", key), status::kSuccess);
    size = sizeof data;
    ASSERT_EQ(key->QueryValue("Number", &type, data, size), status::kSuccess);
    EXPECT_EQ(Bytes(data, data + size), (Bytes{0xff, 0xff, 0xff, 0xff}));
}

INSTANTIATE_TEST_SUITE_P(LineEnds, RegeditExport, ::testing::Values("\r\n", "\n"),
                         [](const auto& info) { return info.index == 0 ? "CRLF" : "LF"; });

constexpr int kTooLarge = 0;  // refused for its size, not at a line

// Damaged and hostile files, each with the line its error names and words the
// error holds. Neither the store nor the program may change a byte of them.
struct DamagedFile {
    std::string text;
    int line;
    const char* what;
};

std::vector<DamagedFile> DamagedFiles() {
    using namespace std::string_literals;
    const std::string key = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n";
    const std::string megabyteOfHex = [] {
        std::string bytes;
        while (bytes.size() < 1000 * 1000) {
            bytes += "01,";
        }
        return bytes;
    }();
    return {
        {"", 1, "expected REGEDIT4"},
        {"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n", 1,
         "expected REGEDIT4"},
        {"[HKEY_LOCAL_MACHINE\\A]\n\"MaxPort\"=dword:00000010\n", 1, "expected REGEDIT4"},
        {"\x7f"
         "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0"s,
         1, "expected REGEDIT4"},
        {"REGEDIT4\n\n\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, 3, "expected a [key]"},
        {"REGEDIT4\n\n\"MaxPort\"=dword:00000010\n", 3, "before the first [key]"},
        {key + "\"MaxPort\" dword:00000010\n", 3, "expected \"=\" after the value name"},
        {key + "\"MaxPort\"=dword:0000001g\n", 3, "unexpected text after the value"},
        {key + "\"MaxPort\"=dword:123456789\n", 3, "unexpected text after the value"},
        {key + "\"MaxPort\"=dword:\n", 3, "hex digits after"},
        {key + "\"MaxPort\"=dwo", 3, "expected a quoted text"},
        {key + "\"MaxPort\"=qword:0000000000000010\n", 3, "expected a quoted text"},
        {key + "\"Blob\"=hex:01,zz\n", 3, "expected a hex byte"},
        {key + "\"Blob\"=hex:123\n", 3, "expected \",\""},
        {key + "\"Blob\"=hex:01 02\n", 3, "expected \",\""},
        {key + "\"Blob\"=hex:01,\n", 3, "after \",\""},
        {key + "\"Blob\"=hex:01,\\\n  02,\\\n  0x\n", 5, "expected \",\""},
        {key + "\"Blob\"=hex:01,\\\n", 3, "the file ends"},
        {key + "\"Blob\"=hex(7:01\n", 3, "hex(type)"},
        {key + "\"Blob\"=hex(1g):01\n", 3, "hex(type)"},
        {key + "\"Parity\"=\"No Parity\n", 3, "missing closing quote"},
        {key + "\"Parity\"=\"No Par", 3, "missing closing quote"},
        {key + "\"Parity\n", 3, "missing closing quote"},
        {key + "\"Port\"=\"C:\\dev\"\n", 3, "unknown escape"},
        {key + "\"Port\"=str(2):\"x\"\n", 3, "expected a quoted text"},
        {key + "\"Port\"=\"x\" y\n", 3, "unexpected text"},
        {key + "\"Port\"=-\n", 3, "deleting a value"},
        {key + "\"Port\"=\"COM1\"\n\"port\"=\"COM2\"\n", 4, "appears a second time"},
        {key + "\"MaxPort\"=dword:8\n[HKLM\\A]\n\"MAXPORT\"=dword:10\n", 5,
         "appears a second time"},
        {key + "\"Port\"=\"CO\0M1\"\n"s, 3, "NUL byte"},
        {key + "; a comment \0 with a zero\n"s, 3, "NUL byte"},
        {key + "\"A\"=dword:1\n" + std::string(4096, '\0'), 4, "NUL byte"},
        {"REGEDIT4\n\n[-HKEY_LOCAL_MACHINE\\A]\n", 3, "deleting a key"},
        {"REGEDIT4\n\n[HKEY_NOWHERE\\A]\n", 3, "unknown root key"},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A\n\"A\"=dword:1\n", 3, "expected \"]\""},
        {"REGEDIT4\n\n[HKEY_LOCAL_MA", 3, "expected \"]\""},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\\\A]\n", 3, "empty key name"},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A\\]\n", 3, "empty key name"},
        {key + "\"A\"=dword:1\n\nMaxPort=8\n", 5, "expected a [key]"},
        {key + "\"Blob\"=hex:" + megabyteOfHex + "zz\n", 3, "expected a hex byte"},
        {key + ";" + std::string(1000 * 1000, 'x') + "\n\"A\"=dword:1 x\n", 4, "unexpected text"},
        {key + "\"Blob\"=hex:" + megabyteOfHex + megabyteOfHex.substr(0, 50000) + "\n", kTooLarge,
         ""},
        {key + std::string(2 * 1024 * 1024, ';') + "\n", kTooLarge, ""},
        {Version5("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"), 1,
         "expected Windows Registry Editor Version 5.00"},
        {Version5("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n") +
             "\x41",
         4, "ends within a UTF-16 character"},
        {Version5("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n") +
             "\x00\xD8\x41\x00"s,
         4, "surrogate"},
        {Version5("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"A\"=\"x") +
             "\0\0\"\0\r\0\n\0"s,
         3, "NUL byte"},
    };
}

TEST_F(RegFileStoreTest, DamagedFileIsLeftAsItWasAndTheErrorNamesTheLine) {
    const std::vector<DamagedFile> cases = DamagedFiles();
    ASSERT_GE(cases.size(), 40u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 120));
        WriteFile(file, c.text);
        const auto expectNamed = [&](const std::string& explained) {
            const std::string where = c.line == kTooLarge
                                          ? file + " is larger than 1 MiB"
                                          : file + ", line " + std::to_string(c.line) + ": ";
            EXPECT_EQ(explained.rfind(where, 0), 0u) << explained;
            EXPECT_NE(explained.find(c.what), std::string::npos) << explained;
        };

        // The store, through each way of opening the key.
        RegFileStore store(file);
        using Open = Status (RegFileStore::*)(std::string_view, std::unique_ptr<SettingsKey>&);
        for (Open open : {&RegFileStore::OpenKeyAllAccess, &RegFileStore::OpenKeyReadOnly,
                          &RegFileStore::CreateKey}) {
            std::unique_ptr<SettingsKey> key;
            EXPECT_EQ((store.*open)("A", key), status::kBadDatabase);
            EXPECT_EQ(key, nullptr);
            expectNamed(store.Explain(status::kBadDatabase));
        }

        // The program: its load shows the defaults and why it may not write;
        // a save is refused.
        PortSettings settings;
        settings.parity = "Even Parity";
        const LoadResult loaded = LoadSettings(store, settings);
        EXPECT_TRUE(loaded.readOnly);
        EXPECT_EQ(loaded.readOnlyStatus, status::kBadDatabase);
        expectNamed(loaded.readOnlyReason);
        EXPECT_EQ(settings.parity, "No Parity");
        settings.parity = "Odd Parity";
        EXPECT_EQ(SaveSettings(store, settings), status::kBadDatabase);
        expectNamed(store.Explain(status::kBadDatabase));

        EXPECT_TRUE(ReadFile(file) == c.text);  // not printed: some are megabytes long
        EXPECT_FALSE(Exists(file + ".tmp"));
    }
}

// What such a file's error says, and that it is kept, is a damaged file's case.
TEST_F(RegFileStoreTest, FileLargerThanOneMebibyteIsNotRead) {
    std::string text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n";
    text += std::string(RegFileStore::kMaxFileSize - text.size() - 1, ';') + "\n";
    WriteFile(file, text);
    RegFileStore store(file);
    std::unique_ptr<SettingsKey> key;
    EXPECT_EQ(store.OpenKeyReadOnly("A", key), status::kSuccess);  // 1 MiB exactly

    text.insert(text.size() - 1, ";");
    WriteFile(file, text);
    EXPECT_EQ(store.OpenKeyAllAccess("A", key), status::kBadDatabase);  // one byte more
}

TEST_F(RegFileStoreTest, MissingFileIsAnEmptyRegistry) {
    RegFileStore store(file);
    std::unique_ptr<SettingsKey> key;
    EXPECT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, key), status::kNotFound);
    EXPECT_EQ(store.OpenKeyReadOnly(kServiceKeyPath, key), status::kNotFound);
    EXPECT_FALSE(Exists(file));

    RegFileStore elsewhere(folder.Path() + "/missing/registry.reg");
    EXPECT_EQ(elsewhere.CreateKey(kServiceKeyPath, key), status::kNotFound);
    EXPECT_NE(elsewhere.Explain(status::kNotFound).find(folder.Path() + "/missing"),
              std::string::npos);
    EXPECT_FALSE(Exists(folder.Path() + "/missing"));

    ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);
    EXPECT_EQ(ReadFile(file),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]"
              "\r\n\r\n");
}

TEST_F(RegFileStoreTest, CloseCommitsOnlyWhatWasWritten) {
    CreateWith({{"Parity", "Odd Parity"}});
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);

    RegFileStore store(file);
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);
    EXPECT_EQ(key->Close(), status::kInvalidHandle);
    ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
    key.reset();
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);  // a commit would have replaced the file

    // Written, not yet closed: not in the file; destroyed: committed.
    ASSERT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    ASSERT_EQ(key->SetValue("Parity", kRegSz, Sz("Even Parity").data(), 12), status::kSuccess);
    EXPECT_EQ(Text(*key, "Parity"), "Even Parity");
    key.reset();
    EXPECT_EQ(TextInFile("Parity"), "Even Parity");
}

TEST_F(RegFileStoreTest, NewFilesAreReadableByEveryoneWhateverTheUmask) {
    const mode_t old = ::umask(077);
    CreateWith({{"Parity", "No Parity"}});
    CreateWith({{"Parity", "Even Parity"}});
    ::umask(old);
    for (const std::string& path : {file, file + ".lock"}) {
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0) << path;
        EXPECT_EQ(info.st_mode & 07777, 0644u) << path;
    }
}

// Run as the user nobody when this process is root, else with the file made
// read-only; the folder is writable in the second round, where only the file's
// own permission keeps the process from replacing it.
class ReadOnlyFile : public RegFileStoreTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReadOnlyFile, ProcessThatMayNotWriteTheFileOnlyReadsIt) {
    const bool folderWritable = GetParam();
    CreateWith({{"Parity", "No Parity"}});
    if (IsRoot() && folderWritable) {
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown(folder.Path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    if (!IsRoot()) {
        ::chmod(file.c_str(), 0444);
        ::chmod(folder.Path().c_str(), folderWritable ? 0755 : 0555);
        if (::access(file.c_str(), W_OK) == 0) {
            GTEST_SKIP()
                << "this process may write a read-only file and cannot become another user";
        }
    }
    const std::string before = ReadFile(file);
    const std::string failures = RunAsUser([&] {
        Checks check;
        RegFileStore store(file);
        std::unique_ptr<SettingsKey> key;
        check(store.OpenKeyAllAccess(kServiceKeyPath, key) == status::kAccessDenied,
              "opened for all access");
        const std::string explained = store.Explain(status::kAccessDenied);
        check(explained.find(file) != std::string::npos, "no file named in: " + explained);
        check(store.CreateKey(kServiceKeyPath, key) == status::kAccessDenied, "created");
        check(store.OpenKeyReadOnly(kServiceKeyPath, key) == status::kSuccess,
              "not opened for reading: " + store.Explain(status::kAccessDenied));
        if (key != nullptr) {
            check(Text(*key, "Parity") == "No Parity", "read " + Text(*key, "Parity"));
            check(key->SetValue("Parity", kRegSz, Sz("Odd").data(), 4) == status::kAccessDenied,
                  "written");
            check(key->Close() == status::kSuccess, "not closed");
        }
        return check.failures;
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(ReadFile(file), before);
}

INSTANTIATE_TEST_SUITE_P(Folder, ReadOnlyFile, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Writable" : "ReadOnly"; });

// The user nobody may write the file but not its folder: the commit fails at
// the temporary file.
TEST_F(RegFileStoreTest, FailedCommitLeavesTheOldFile) {
    CreateWith({{"Parity", "No Parity"}});
    if (IsRoot()) {
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        for (const std::string& path : {folder.Path(), file, file + ".lock"}) {
            ASSERT_EQ(::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0) << path;
        }
    }
    const std::string before = ReadFile(file);
    const std::string failures = RunAsUser([&] {
        Checks check;
        RegFileStore store(file);
        std::unique_ptr<SettingsKey> key;
        if (store.OpenKeyAllAccess(kServiceKeyPath, key) != status::kSuccess) {
            return "not opened: " + store.Explain(status::kAccessDenied);
        }
        check(key->SetValue("Parity", kRegSz, Sz("Odd Parity").data(), 11) == status::kSuccess,
              "not written");
        ::chmod(folder.Path().c_str(), 0555);
        check(key->Close() == status::kAccessDenied, "commit did not fail as denied");
        const std::string explained = store.Explain(status::kAccessDenied);
        check(explained.find(file) != std::string::npos, "no file named in: " + explained);
        return check.failures;
    });
    ::chmod(folder.Path().c_str(), 0755);
    EXPECT_EQ(failures, "");
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_FALSE(Exists(file + ".tmp"));
}

TEST_F(RegFileStoreTest, FailedCommitOverAPlantedDirectoryLeavesBoth) {
    CreateWith({{"Parity", "No Parity"}});
    const std::string before = ReadFile(file);
    ASSERT_EQ(::mkdir((file + ".tmp").c_str(), 0755), 0);
    RegFileStore store(file);
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    ASSERT_EQ(key->SetValue("Parity", kRegSz, Sz("Odd Parity").data(), 11), status::kSuccess);
    EXPECT_EQ(key->Close(), status::kIoFailed);
    EXPECT_NE(store.Explain(status::kIoFailed).find(file + ".tmp"), std::string::npos);
    EXPECT_EQ(ReadFile(file), before);
    struct stat info {};
    ASSERT_EQ(::stat((file + ".tmp").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

// Whether the process waits for a lock, as the kernel lists it.
bool WaitsForLock(pid_t process) {
    std::ifstream locks("/proc/locks");
    const std::string pid = " " + std::to_string(process) + " ";
    for (std::string line; std::getline(locks, line);) {
        if (line.find("->") != std::string::npos && line.find("FLOCK") != std::string::npos &&
            line.find(pid) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(RegFileStoreTest, SecondOpenWaitsForTheFirstClose) {
    if (!std::ifstream("/proc/locks")) {
        GTEST_SKIP() << "no /proc/locks to see the second open waiting";
    }
    CreateWith({{"Marker", "none"}});
    // The child starts before the first key is open, so that it holds no copy
    // of the first key's lock.
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        char byte = 0;
        if (::read(go[0], &byte, 1) != 1) {
            ::_exit(2);
        }
        RegFileStore other(file);
        std::unique_ptr<SettingsKey> second;
        if (other.OpenKeyAllAccess(kServiceKeyPath, second) != status::kSuccess) {
            ::_exit(3);
        }
        // Only after the first key's commit does the marker say "first".
        const bool afterFirst = Text(*second, "Marker") == "first";
        second->SetValue("Marker", kRegSz, Sz("second").data(), 7);
        ::_exit(second->Close() != status::kSuccess ? 4 : afterFirst ? 0 : 5);
    }
    ASSERT_GT(child, 0);
    ::close(go[0]);
    RegFileStore store(file);
    std::unique_ptr<SettingsKey> first;
    ASSERT_EQ(store.OpenKeyAllAccess(kServiceKeyPath, first), status::kSuccess);
    ASSERT_EQ(::write(go[1], "!", 1), 1);
    ::close(go[1]);
    while (!WaitsForLock(child)) {
        int result = 0;
        if (::waitpid(child, &result, WNOHANG) == child) {
            FAIL() << "the second open did not wait; exit status " << WEXITSTATUS(result);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(Text(*first, "Marker"), "none");
    ASSERT_EQ(first->SetValue("Marker", kRegSz, Sz("first").data(), 6), status::kSuccess);
    ASSERT_EQ(first->Close(), status::kSuccess);
    int result = 0;
    ASSERT_EQ(::waitpid(child, &result, 0), child);
    EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0) << result;
    EXPECT_EQ(TextInFile("Marker"), "second");
}

TEST_F(RegFileStoreTest, ReadersShareTheFile) {
    CreateWith({{"Parity", "No Parity"}});
    RegFileStore store(file);
    std::unique_ptr<SettingsKey> first;
    std::unique_ptr<SettingsKey> second;
    ASSERT_EQ(store.OpenKeyReadOnly(kServiceKeyPath, first), status::kSuccess);
    ASSERT_EQ(store.OpenKeyReadOnly(kServiceKeyPath, second), status::kSuccess);
    EXPECT_EQ(Text(*second, "Parity"), "No Parity");
}

}  // namespace
}  // namespace tavirap
