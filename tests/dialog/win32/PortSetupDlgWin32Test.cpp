// The running dialog on Win32 under Wine: the scenarios on the real registry,
// below a key of the test's own.
#include "platform/win32/Win32Api.h"  // before anything that includes <windows.h>

#include <gtest/gtest.h>

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
            for (const wchar_t* c = text; *c != 0; ++c) {
                name += static_cast<char>(*c);
            }
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
// text, page after page. Each name is asked of the backend, and read back as
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
    const struct {
        int id;
        const char* name;
        bool reportedByWine;
    } kNames[] = {
        {IDC_SAVE, "SAVE", true},
        {IDC_EXIT, "EXIT", true},
        {IDC_PREV_PAGE, "PREV PAGE", true},
        {IDC_NEXT_PAGE, "NEXT PAGE", true},
        {IDC_MAIN_PORT, "MAIN COM", false},
        {IDC_BAUD_RATE, "BAUD RATE", false},
        {IDC_PARITY, "PARITY", false},
        {IDC_DATA_BITS, "DATA BITS", false},
        {IDC_STOP_BITS, "STOP BIT", false},
        {IDC_FLOW_CONTROL, "FLOW CTL", false},
        {IDC_TOTAL_PORTS, "Total Virtual Ports", false},
    };
    const auto expectName = [&](int id, const std::string& name, bool reportedByWine) {
        EXPECT_EQ(Win32AccessibleName(dialog, id), name) << id;
        if (kept || reportedByWine) {
            EXPECT_EQ(AccessibleName(Win32ControlOf(dialog, id)), name) << id;
        }
    };
    for (const auto& c : kNames) {
        expectName(c.id, c.name, c.reportedByWine);
    }
    for (int page : {0, 1}) {
        for (int row = 0; row < kRowsPerPage; ++row) {
            const int port = page * kRowsPerPage + row + 1;
            expectName(kRowAddressIds[row], "SERIAL" + std::to_string(port) + " address", false);
        }
        driver->Click(IDC_NEXT_PAGE);
    }
    CoUninitialize();
}

}  // namespace
}  // namespace tavirap
