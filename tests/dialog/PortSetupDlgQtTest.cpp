// The running dialog on Qt, on a real registry file in a temporary folder:
// the scenarios (DialogScenarios.cpp), and files the user may not write or
// that are damaged.
#include <gtest/gtest.h>

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
    const char* saveSays;    // what SAVE says
    std::string repaired{};  // what another program writes into the file before SAVE
};

void PrintTo(const ReadOnlyCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kKey =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]\r\n"
    "\"MaxPort\"=dword:00000040\r\n";

const ReadOnlyCase kReadOnlyCases[] = {
    {"UnwritableFile",
     kKey + "\"PortAdd1\"=dword:00000011\r\n\"Parity\"=\"Odd Parity\"\r\n",
     false,
     "Administrator rights cannot be asked for here",
     {{IDC_TOTAL_PORTS, "64"}, {IDC_PARITY, "Odd Parity"}, {kRowAddressIds[0], "17"}},
     "The settings were not saved: administrator rights cannot be asked for here"},
    // The defaults, not the damaged file's 64, which are never saved over the
    // file repaired meanwhile.
    {"DamagedFileRepairedMeanwhile",
     kKey + "\"Parity\"=hex(1):4f,64,zz\r\n",
     true,
     "@:5:",
     {{IDC_TOTAL_PORTS, "8"}, {IDC_PARITY, "No Parity"}},
     "The settings were not saved: the TAVIRPORT driver's settings could not be read",
     kKey + "\"Parity\"=\"Odd Parity\"\r\n"},
};

class ReadOnlyRun : public ::testing::TestWithParam<ReadOnlyCase> {};

// The dialog runs in a child process, as the user; its checks report there
// and its result comes back as "failed" or "".
TEST_P(ReadOnlyRun, ShowsTheValuesAndRefusesToSave) {
    const ReadOnlyCase& c = GetParam();
    TempFolder folder;
    const std::string file = folder.Path() + "/registry.reg";
    WriteFile(file, c.text);
    ASSERT_TRUE(GiveToUser(folder.Path()));
    ASSERT_TRUE(c.fileWritable ? GiveToUser(file) : ::chmod(file.c_str(), 0444) == 0);
    if (::geteuid() != 0 && !c.fileWritable && ::access(file.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "this process may write a read-only file and cannot become another user";
    }
    EXPECT_IN_CHILD(RunAsUser([&] {
        RegFileStore store(file);
        // No rights to be had here; but where the file was repaired, rights
        // that would store the values shown into it.
        const auto rights = test::MakeFakeElevation(c.repaired.empty() ? "none" : "run", store);
        CPortSetupDlg dialog(store, *rights);
        const auto driver = test::MakeUiDriver(dialog);
        driver->Open();
        const std::vector<test::Box>& boxes = driver->Boxes();
        const std::string notice = c.notice[0] == '@' ? file + (c.notice + 1) : c.notice;
        EXPECT_TRUE(boxes.size() == 1 && boxes[0].text.find(notice) != std::string::npos);
        for (const auto& [id, text] : c.shown) {
            EXPECT_EQ(driver->Text(id), text) << id;
        }
        driver->Type(kRowAddressIds[0], "9");
        if (!c.repaired.empty()) {
            WriteFile(file, c.repaired);
        }
        driver->Click(IDC_SAVE);
        EXPECT_TRUE(boxes.size() == 2 && boxes[1].text.starts_with(c.saveSays))
            << boxes.back().text;
        EXPECT_TRUE(driver->IsOpen());
        EXPECT_EQ(driver->Text(kRowAddressIds[0]), "9");
        return std::string(HasFailure() ? "failed" : "");
    }));
    EXPECT_EQ(ReadFile(file), c.repaired.empty() ? c.text : c.repaired);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadOnlyRun, ::testing::ValuesIn(kReadOnlyCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace

std::unique_ptr<SettingsStore> test::MakeScenarioStore(const std::string&) {
    return std::make_unique<TempRegFileStore>();
}

std::shared_ptr<void> test::PlantComPorts(const std::vector<std::string>&) {
    return nullptr;
}

}  // namespace tavirap
