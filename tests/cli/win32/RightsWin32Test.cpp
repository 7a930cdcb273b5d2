// SAVE with administrator rights on Windows, on the real programs and the
// registry of the test's Wine prefix: what the dialog elevates runs the save
// job and nothing else, the values it is given arrive byte for byte, and the
// ready-to-copy command stores exactly its value through cmd.exe and runs
// nothing else. Run in code page 932, where 0x5C can end a character.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/ShellCommand.h"
#include "framework/Backend.h"
#include "store/RegistryStore.h"
#include "store/SettingsIo.h"

namespace tavirap {
namespace {

const std::string kPrograms = TAVIRAP_PROGRAMS;  // tavirap.com and tavirap-save.exe
const char* const kKey = "SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT";

// Runs a command line in `folder` with the programs' folder on PATH; its exit code.
DWORD RunIn(std::string line, const std::string& folder) {
    SetEnvironmentVariableA("PATH", (kPrograms + ";C:\\windows\\system32").c_str());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = start.hStdOutput = start.hStdError = nul;
    PROCESS_INFORMATION process{};
    DWORD exitCode = 9999;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                       &start, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(nul);
    return exitCode;
}

std::vector<RegValue> Stored(const RegistryStore& store) {
    PortSettings settings;
    RegistryStore reader;
    EXPECT_TRUE(ReadSettingsOnly(reader, settings).Ok());
    return StoredValues(store, settings);
}

// Each test starts on the defaults, in an empty folder of its own that any
// command run by mistake would leave a file in.
class Rights : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        defaults_ = Stored(store_);
    }
    void TearDown() override {
        EXPECT_TRUE(std::filesystem::is_empty(folder_)) << "a command ran that was not asked for";
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
    }
    const std::string folder_ = std::filesystem::temp_directory_path().string() + "rights-test";
    RegistryStore store_;
    std::vector<RegValue> defaults_;
};

TEST_F(Rights, TheSaveProgramRunsTheSaveJobAndNothingElse) {
    const std::string job = "\"" + kPrograms + "\\tavirap-save.exe\" ";
    const std::string fingerprint = Fingerprint(defaults_);
    for (const std::string& line :
         {job + "--export out.reg", job + "--import in.reg", job + "--set MaxPort=16",
          job + "--check in.reg", job + fingerprint + " in.reg", job + fingerprint, job,
          job + "--import - --if-unchanged " + fingerprint + " REGEDIT4",
          "\"" + kPrograms + "\\tavirap.com\" --save-with-rights " + fingerprint + " REGEDIT4"}) {
        EXPECT_EQ(RunIn(line, folder_), 2u) << line;
        EXPECT_EQ(Stored(store_), defaults_) << line;
    }
}

// Texts the dialog hands to the save job, which must arrive as they are: a
// quote, backslashes before it and at the end, and characters of code page
// 932 whose second byte is 0x5C.
TEST_F(Rights, TheValuesReachTheSaveJobByteForByte) {
    const std::string beside = std::filesystem::path(_pgmptr).parent_path().string();
    CopyFileA((kPrograms + "\\tavirap-save.exe").c_str(), (beside + "\\tavirap-save.exe").c_str(),
              FALSE);
    PortSettings settings;
    settings.parity = "x\"&echo >a&\\\" b\\";
    settings.flowControl = "\x95\x5c\" \x95\x5c";
    settings.mainPort = "\x95\x5c";
    const std::vector<RegValue> wanted = StoredValues(store_, settings);
    const ElevatedRun run = MakeElevation("tavirap-save.exe", {})
                                ->Run({Fingerprint(defaults_)}, ExportSettings(store_, settings));
    EXPECT_EQ(run.outcome, ElevatedRun::Outcome::kExited);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Stored(store_), wanted);
}

struct Hostile {
    const char* parity;
    bool offered;  // the value can be written for cmd.exe and PowerShell alike
};

TEST_F(Rights, TheReadyToCopyCommandStoresItsValueAndRunsNothingElse) {
    const Hostile cases[] = {
        {"a&echo >x", true},
        {"a|echo >x", true},
        {"a>x", true},
        {"a<x", true},
        {"^&echo >x", true},
        {"(a)&echo >x", true},
        {"a;b,c=d 'e' #f", true},
        {"@{a}\\b\\c", true},
        {"\x95\x5c\x8e\xa6", true},
        {"\x95\x5cx", true},
        {"x\"&echo >x&\"", false},
        {"%PATH%&echo >x", false},
        {"!PATH!", false},
        {"$(echo >x)", false},
        {"a`nb", false},
        {"a\\", false},
        {"x\x95\x5c", false},
        {"\x93x", false},
    };
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.parity);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
        PortSettings settings;
        settings.parity = c.parity;
        const std::vector<RegValue> wanted = StoredValues(store_, settings);
        const ShellCommand command = SetCommand(defaults_, wanted);
        ASSERT_EQ(!command.command.empty(), c.offered) << command.command << command.why;
        if (c.offered) {
            EXPECT_EQ(RunIn("cmd.exe /c " + command.command, folder_), 0u) << command.command;
            EXPECT_EQ(Stored(store_), wanted) << command.command;
        } else {
            EXPECT_NE(command.why.find("Parity"), std::string::npos) << command.why;
        }
    }
}

}  // namespace
}  // namespace tavirap
