// The running dialog on Qt, on a real registry file in a temporary folder:
// the shared scenarios driven with the mouse and keyboard, and what only this
// platform's store can do (unwritable and damaged files).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "store/RegFileStore.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/store/TempFiles.h"

namespace tavirap {
namespace {

// The application object the dialog takes its icon from.
CWinApp theTestApp;

class Scenarios : public ::testing::Test, public ::testing::WithParamInterface<test::Scenario> {};

TEST_P(Scenarios, RunOnQt) {
    TempFolder folder;
    RegFileStore store(folder.Path() + "/registry.reg");
    test::RunScenario(GetParam(), store);
}

INSTANTIATE_TEST_SUITE_P(Dialog, Scenarios, ::testing::ValuesIn(test::DialogScenarios()),
                         [](const auto& info) { return info.param.name; });

// The dialog opened on a file it may not write: a notice at the start and
// the values shown, then a refused save that says why and leaves the dialog
// open with what was typed.
void ExpectReadOnlyRun(const std::string& file, const std::string& notice,
                       std::initializer_list<std::pair<int, const char*>> shown) {
    RegFileStore store(file);
    CPortSetupDlg dialog(store);
    const auto driver = test::MakeUiDriver(dialog);
    driver->Open();
    ASSERT_EQ(driver->Boxes().size(), 1u);
    EXPECT_NE(driver->Boxes()[0].text.find(notice), std::string::npos) << driver->Boxes()[0].text;
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(driver->Text(id), text) << id;
    }
    driver->Type(kRowAddressIds[0], "9");
    driver->Click(IDC_SAVE);
    ASSERT_EQ(driver->Boxes().size(), 2u);
    EXPECT_EQ(driver->Boxes()[1].text.rfind("The settings were not saved", 0), 0u);
    EXPECT_TRUE(driver->IsOpen());
    EXPECT_EQ(driver->Text(kRowAddressIds[0]), "9");
}

using PortSetupDlgQt = ::testing::Test;

const char* const kReadOnlyFileVariable = "TAVIRAP_TEST_READ_ONLY_REGISTRY";
// The pipe on which the run as another user says it ran and passed, so that a
// filter that matches nothing cannot pass for it.
const char* const kReadOnlyDoneVariable = "TAVIRAP_TEST_READ_ONLY_DONE_FD";

const std::string kStoredSettings =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]\r\n"
    "\"MaxPort\"=dword:00000040\r\n\"PortAdd1\"=dword:00000011\r\n\"Parity\"=\"Odd Parity\"\r\n";

// Run by a user who may read the registry file but not write it.
TEST_F(PortSetupDlgQt, DISABLED_StartsReadOnlyAsUser) {
    const char* file = std::getenv(kReadOnlyFileVariable);
    ASSERT_NE(file, nullptr);
    ExpectReadOnlyRun(
        file, "administrator",
        {{IDC_TOTAL_PORTS, "64"}, {IDC_PARITY, "Odd Parity"}, {kRowAddressIds[0], "17"}});
    const char* done = std::getenv(kReadOnlyDoneVariable);
    if (done != nullptr && !HasFailure()) {
        EXPECT_EQ(::write(std::atoi(done), "passed", 6), 6);
    }
}

TEST_F(PortSetupDlgQt, UnwritableFileStartsReadOnlyWithTheStoredValues) {
    TempFolder folder;
    const std::string file = folder.Path() + "/registry.reg";
    WriteFile(file, kStoredSettings);
    // Root may write any file: the dialog runs as an ordinary user in a
    // program of its own, this one started again.
    const bool root = ::geteuid() == 0;
    if (!root) {
        ::chmod(folder.Path().c_str(), 0555);
    }
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ::close(done[0]);
        ::setenv(kReadOnlyDoneVariable, std::to_string(done[1]).c_str(), 1);
        const passwd* nobody = ::getpwnam("nobody");
        if (root &&
            (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)) {
            ::_exit(3);
        }
        ::setenv(kReadOnlyFileVariable, file.c_str(), 1);
        ::setenv("TAVIRAP_ELEVATE", "/nonexistent/elevate", 1);
        ::execl("/proc/self/exe", "dialog_commands_qt_test", "--gtest_also_run_disabled_tests",
                "--gtest_filter=PortSetupDlgQt.DISABLED_StartsReadOnlyAsUser", nullptr);
        ::_exit(4);
    }
    ::close(done[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the dialog's run as another user failed";
    char said[8] = {};
    EXPECT_EQ(::read(done[0], said, sizeof said), 6);
    EXPECT_STREQ(said, "passed") << "the dialog's run as another user did not run";
    ::close(done[0]);
    EXPECT_EQ(ReadFile(file), kStoredSettings);
}

TEST_F(PortSetupDlgQt, DamagedFileIsReportedAndLeftAlone) {
    TempFolder folder;
    const std::string file = folder.Path() + "/registry.reg";
    const std::string damaged =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]\r\n"
        "\"MaxPort\"=dword:00000040\r\n\"Parity\"=hex(1):4f,64,zz\r\n";
    WriteFile(file, damaged);
    // The defaults, not the damaged file's 64.
    ExpectReadOnlyRun(file, file + ", line 5", {{IDC_TOTAL_PORTS, "8"}});
    EXPECT_EQ(ReadFile(file), damaged);
}

}  // namespace
}  // namespace tavirap
