// The running dialog on Win32 under Wine: the scenarios on the real registry,
// below a key of the test's own.
#include "framework/win32/Win32Api.h"  // before anything that includes <windows.h>

#include "framework/Afx.h"
#include "store/RegistryStore.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {

// The application object the dialog takes its icon from.
CWinApp theTestApp;

namespace {

class TestKeyStore : public RegistryStore {
public:
    explicit TestKeyStore(std::unique_ptr<RegistryTestKey> root)
        : RegistryStore(root->Handle()), root_(std::move(root)) {}

private:
    std::unique_ptr<RegistryTestKey> root_;
};

}  // namespace

std::unique_ptr<SettingsStore> test::MakeScenarioStore(const std::string& scenario) {
    return std::make_unique<TestKeyStore>(std::make_unique<RegistryTestKey>("dialog-" + scenario));
}

}  // namespace tavirap
