// The Windows programs' command line, on the real programs and the registry
// of the test's Wine prefix. SAVE with administrator rights: what the dialog
// elevates runs the save job and nothing else, the values it is given arrive
// byte for byte, and the ready-to-copy command stores exactly its value
// through cmd.exe and runs nothing else. The computer: the COM ports and the
// driver's service planted in the prefix, as --status and a change see them.
// Run in code page 932, where 0x5C can end a character.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/ShellCommand.h"
#include "framework/Backend.h"
#include "store/RegistryStore.h"
#include "store/SettingsIo.h"
#include "tests/framework/win32/ConsoleRun.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {
namespace {

const std::string kPrograms = TAVIRAP_PROGRAMS;  // tavirap.com and tavirap-save.exe
const char* const kKey = "SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT";

// Runs a command line in `folder` with the programs' folder on PATH; its exit
// code, and what it wrote (both streams) in `output`.
DWORD RunIn(const std::string& line, const std::string& folder, std::string* output = nullptr) {
    SetEnvironmentVariableA("PATH", (kPrograms + ";C:\\windows\\system32").c_str());
    test::ConsoleRun run(line, folder.c_str());
    const DWORD exitCode = run.Finish();
    std::erase(run.output, '\r');
    if (output != nullptr) {
        *output = run.output;
    }
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
class Programs : public ::testing::Test {
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

TEST_F(Programs, TheSaveProgramRunsTheSaveJobAndNothingElse) {
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
TEST_F(Programs, TheValuesReachTheSaveJobByteForByte) {
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

TEST_F(Programs, TheReadyToCopyCommandStoresItsValueAndRunsNothingElse) {
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

// The driver's service as `sc create` makes it: a kernel driver started on
// demand, stopped.
SC_HANDLE CreateDriverService(SC_HANDLE manager) {
    return CreateServiceA(manager, "TAVIRPORT", "TAVIRPORT", SERVICE_ALL_ACCESS,
                          SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                          "System32\\drivers\\tavirport.sys", nullptr, nullptr, nullptr, nullptr,
                          nullptr);
}

struct MachineCase {
    bool service;         // TAVIRPORT installed (stopped); the cases with it come first
    const char* command;  // tavirap.com's arguments, on the defaults
    DWORD exit;
    const char* output;  // the start of both streams, stdout first
};

// Ports COM3 and COM12 (and COM1, which the defaults name), COM5 reserved
// by the COM Name Arbiter though no port holds it.
TEST_F(Programs, TheCommandLineKnowsTheComputersPortsAndTheDriver) {
    const MachineCase cases[] = {
        {true, "--status", 0,
         "Driver=stopped\nDriverStart=manual\nPorts=COM1,COM3,COM12\nReservedPorts=COM5\n"
         "TRxPort=COM1\nTRxPortOnThisComputer=yes\nSettings=HKEY_LOCAL_MACHINE\\SYSTEM\\"
         "CurrentControlSet\\Services\\TAVIRPORT\n"},
        {true, "--set TRxPort=COM7", 0,
         "TRxPort: \"COM1\" -> \"COM7\"\nchanged\ntavirap: --set TRxPort=COM7: COM7 is no COM "
         "port of this computer (it has COM1, COM3 and COM12); it is stored all the same\n"
         "The TAVIRPORT driver is stopped; it reads these settings when it starts.\n"},
        {true, "--strict --set TRxPort=COM7", 0,
         "TRxPort: \"COM1\" -> \"COM7\"\nchanged\ntavirap: --set TRxPort=COM7: COM7 is no COM "},
        {true, "--set TRxPort=COM3", 0,
         "TRxPort: \"COM1\" -> \"COM3\"\nchanged\nThe TAVIRPORT driver is stopped"},
        {true, "--set MaxPort=8", 0, "unchanged\n"},
        {false, "--status", 0, "Driver=not installed\nPorts=COM1,COM3,COM12\n"},
        {false, "--set MaxPort=16", 0,
         "MaxPort: 8 -> 16\nchanged\nThe TAVIRPORT driver is not installed on this computer.\n"},
    };
    const TestComPorts ports({"COM12", "COM3", "COM1"});
    HKEY arbiter = nullptr;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter",
                  &arbiter);
    const BYTE comDb[32] = {0x15};  // COM1, COM3 and COM5
    RegSetValueExA(arbiter, "ComDB", 0, REG_BINARY, comDb, sizeof comDb);
    const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = CreateDriverService(manager);
    ASSERT_NE(service, nullptr) << GetLastError();
    for (const MachineCase& c : cases) {
        SCOPED_TRACE(c.command);
        if (!c.service && service != nullptr) {
            DeleteService(service);
            CloseServiceHandle(service);
            service = nullptr;
        }
        PortSettings defaults;
        LoadSettings(store_, defaults);
        std::string output;
        EXPECT_EQ(RunIn("tavirap.com " + std::string(c.command), folder_, &output), c.exit);
        EXPECT_EQ(output.substr(0, std::string(c.output).size()), c.output) << output;
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
    }
    CloseServiceHandle(manager);
    RegDeleteValueA(arbiter, "ComDB");
    RegCloseKey(arbiter);
}

}  // namespace
}  // namespace tavirap
