// The running dialog on Win32 under Wine: the scenarios on the real registry,
// below a key of the test's own.
#include "framework/win32/Win32Api.h"  // before anything that includes <windows.h>

#include "framework/Afx.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {

// The application object the dialog takes its icon from.
CWinApp theTestApp;

std::unique_ptr<SettingsStore> test::MakeScenarioStore(const std::string& scenario) {
    return std::make_unique<TestKeyStore>("dialog-" + scenario);
}

}  // namespace tavirap
