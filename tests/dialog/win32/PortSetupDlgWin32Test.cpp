// The running dialog on Win32 under Wine: the scenarios on the real registry,
// below a key of the test's own.
#include "platform/win32/Win32Api.h"  // before anything that includes <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "framework/Afx.h"
#include "framework/win32/Win32Backend.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/framework/UiDriver.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {

// The application object the dialog takes its icon from.
CWinApp theTestApp;

std::unique_ptr<SettingsStore> test::MakeScenarioStore(const std::string& scenario) {
    return std::make_unique<TestKeyStore>("dialog-" + scenario);
}

std::shared_ptr<void> test::PlantComPorts(const std::vector<std::string>& names) {
    return std::make_shared<TestComPorts>(names);
}

}  // namespace tavirap

namespace tavirap {
namespace {

std::string AccessibleName(HWND window) {
    IAccessible* accessible = nullptr;
    std::string name;
    if (SUCCEEDED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&accessible)))) {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        if (accessible->get_accName(self, &text) == S_OK && text != nullptr) {
            name.assign(text, text + SysStringLen(text));  // the names are ASCII
            SysFreeString(text);
        }
        accessible->Release();
    }
    return name;
}

// Whether this system keeps names given through IAccPropServices (Wine does not).
bool NamesAreKept() {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return false;
    }
    HWND probe = CreateWindowA("EDIT", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const HRESULT kept =
        services->SetHwndPropStr(probe, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, L"probe");
    DestroyWindow(probe);
    services->Release();
    return SUCCEEDED(kept);
}

// Screen readers hear every control by its label on the form, or by its
// text (data/names.txt), page after page. Each name is asked of the backend, and read back as
// a client reads it wherever this system reports it: everywhere on Windows,
// only the buttons' under Wine.
TEST(Accessibility, EveryControlIsNamedByItsLabelOrText) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool kept = NamesAreKept();
    TestKeyStore store("accessibility");
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
    const std::uint8_t all[4] = {64, 0, 0, 0};
    ASSERT_EQ(key->SetValue("MaxPort", kRegDword, all, 4), status::kSuccess);
    key->Close();
    const auto rights = test::MakeFakeElevation("no-agent", store);
    CPortSetupDlg dialog(store, *rights);
    const auto driver = test::MakeUiDriver(dialog);
    driver->Open();
    const auto expectName = [&](int id, const std::string& name, bool reportedByWine) {
        EXPECT_EQ(Win32AccessibleName(dialog, id), name) << id;
        if (kept || reportedByWine) {
            EXPECT_EQ(AccessibleName(Win32ControlOf(dialog, id)), name) << id;
        }
    };
    std::ifstream names(TAVIRAP_DIALOG_DATA "/names.txt");
    ASSERT_TRUE(names.is_open());
    for (std::string line; std::getline(names, line);) {
        std::smatch f;  // control | role | name | label ("-": a button, which Wine reports)
        if (std::regex_match(line, f, std::regex(R"((\S+) \| [^|]+ \| (.+) \| (.+))"))) {
            expectName(test::ControlId(f[1]), f[2], f[3] == "-");
        }
    }
    driver->Click(IDC_NEXT_PAGE);  // the second page's addresses
    for (int row = 0; row < kRowsPerPage; ++row) {
        const std::string port = std::to_string(kRowsPerPage + row + 1);
        expectName(kRowAddressIds[row], "SERIAL" + port + " address", false);
    }
    CoUninitialize();
}

}  // namespace
}  // namespace tavirap
