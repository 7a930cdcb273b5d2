// The running dialog on Qt, on a real registry file in a temporary folder:
// the scenarios, and files the user may not write or that are damaged.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "store/RegFileStore.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/framework/UiDriver.h"
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

// A file the dialog cannot save to, opened by an ordinary user in a folder
// that user may write: one notice at the start, the values shown, then a
// refused SAVE that says so and leaves the dialog open with what was typed;
// the file stays byte for byte.
struct ReadOnlyCase {
    const char* name;
    std::string text;
    bool fileWritable;   // by the user: the file is damaged, not locked away
    const char* notice;  // what the notice at the start says, after the file's name if "@"
    std::vector<std::pair<int, const char*>> shown;
};

const std::string kKey =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]\r\n"
    "\"MaxPort\"=dword:00000040\r\n";

const ReadOnlyCase kReadOnlyCases[] = {
    {"UnwritableFile",
     kKey + "\"PortAdd1\"=dword:00000011\r\n\"Parity\"=\"Odd Parity\"\r\n",
     false,
     "administrator",
     {{IDC_TOTAL_PORTS, "64"}, {IDC_PARITY, "Odd Parity"}, {kRowAddressIds[0], "17"}}},
    // The defaults, not the damaged file's 64.
    {"DamagedFile", kKey + "\"Parity\"=hex(1):4f,64,zz\r\n", true, "@, line 5",
     {{IDC_TOTAL_PORTS, "8"}, {IDC_PARITY, "No Parity"}}},
};

// Run by ReadOnlyRun below as the user, in a program of its own (a Qt
// program does not fork); says on the pipe it is given that it ran and passed,
// so that a filter that matches nothing cannot pass for it.
TEST(PortSetupDlgQt, DISABLED_RunAsUser) {
    const char* file = std::getenv("TAVIRAP_TEST_FILE");
    const char* index = std::getenv("TAVIRAP_TEST_CASE");
    const char* done = std::getenv("TAVIRAP_TEST_DONE_FD");
    ASSERT_TRUE(file != nullptr && index != nullptr && done != nullptr);
    const ReadOnlyCase& c = kReadOnlyCases[std::atoi(index)];
    RegFileStore store(file);
    CPortSetupDlg dialog(store);
    const auto driver = test::MakeUiDriver(dialog);
    driver->Open();
    ASSERT_EQ(driver->Boxes().size(), 1u);
    std::string notice = c.notice;
    if (notice[0] == '@') {
        notice = file + notice.substr(1);
    }
    EXPECT_NE(driver->Boxes()[0].text.find(notice), std::string::npos) << driver->Boxes()[0].text;
    for (const auto& [id, text] : c.shown) {
        EXPECT_EQ(driver->Text(id), text) << id;
    }
    driver->Type(kRowAddressIds[0], "9");
    driver->Click(IDC_SAVE);
    ASSERT_EQ(driver->Boxes().size(), 2u);
    EXPECT_EQ(driver->Boxes()[1].text.rfind("The settings were not saved.", 0), 0u);
    EXPECT_TRUE(driver->IsOpen());
    EXPECT_EQ(driver->Text(kRowAddressIds[0]), "9");
    EXPECT_TRUE(HasFailure() || ::write(std::atoi(done), "passed", 6) == 6);
}

class ReadOnlyRun : public ::testing::TestWithParam<int> {};

TEST_P(ReadOnlyRun, ShowsTheValuesAndRefusesToSave) {
    const ReadOnlyCase& c = kReadOnlyCases[GetParam()];
    TempFolder folder;
    const std::string file = folder.Path() + "/registry.reg";
    WriteFile(file, c.text);
    ASSERT_TRUE(GiveToUser(folder.Path()));
    ASSERT_TRUE(c.fileWritable ? GiveToUser(file) : ::chmod(file.c_str(), 0444) == 0);
    if (::geteuid() != 0 && !c.fileWritable && ::access(file.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "this process may write a read-only file and cannot become another user";
    }
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    const std::string failures = RunAsUser([&] {
        ::setenv("TAVIRAP_TEST_FILE", file.c_str(), 1);
        ::setenv("TAVIRAP_TEST_CASE", std::to_string(GetParam()).c_str(), 1);
        ::setenv("TAVIRAP_TEST_DONE_FD", std::to_string(done[1]).c_str(), 1);
        ::execl("/proc/self/exe", "dialog_qt_test", "--gtest_also_run_disabled_tests",
                "--gtest_filter=PortSetupDlgQt.DISABLED_RunAsUser", nullptr);
        return std::string("not started");
    });
    ::close(done[1]);
    char said[8] = {};
    EXPECT_EQ(::read(done[0], said, sizeof said), 6);
    ::close(done[0]);
    EXPECT_EQ(failures + said, "passed") << "the dialog's run as the user failed";
    EXPECT_EQ(ReadFile(file), c.text);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadOnlyRun, ::testing::Values(0, 1),
                         [](const auto& info) { return kReadOnlyCases[info.param].name; });

}  // namespace
}  // namespace tavirap
