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

std::string test::StoreAddress(SettingsStore& store) {
    return static_cast<TestKeyStore&>(store).Path();
}

std::unique_ptr<SettingsStore> test::OpenStoreAt(const std::string& address) {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, address.c_str(), 0, KEY_ALL_ACCESS, &key);
    return std::make_unique<RegistryStore>(key);  // the process ends with the key open
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

// Screen readers hear each address field by its row's label, as on Qt, page
// after page.
TEST(Accessibility, AddressFieldsAreNamedByTheirRows) {
    // Wine keeps no names given through the accessibility services.
    IAccPropServices* services = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IAccPropServices, reinterpret_cast<void**>(&services)),
              S_OK);
    HWND probe = CreateWindowA("EDIT", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const HRESULT kept =
        services->SetHwndPropStr(probe, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, L"probe");
    DestroyWindow(probe);
    services->Release();
    if (kept == E_NOTIMPL) {
        GTEST_SKIP() << "this system keeps no accessible names set through IAccPropServices";
    }
    TestKeyStore store("accessibility");
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
    const std::uint8_t all[4] = {64, 0, 0, 0};
    ASSERT_EQ(key->SetValue("MaxPort", kRegDword, all, 4), status::kSuccess);
    key->Close();
    CPortSetupDlg dialog(store);
    const auto driver = test::MakeUiDriver(dialog);
    driver->Open();
    EXPECT_EQ(AccessibleName(Win32ControlOf(dialog, kRowAddressIds[1])), "SERIAL2 address");
    driver->Click(IDC_NEXT_PAGE);
    EXPECT_EQ(AccessibleName(Win32ControlOf(dialog, kRowAddressIds[1])), "SERIAL10 address");
}

}  // namespace
}  // namespace tavirap
