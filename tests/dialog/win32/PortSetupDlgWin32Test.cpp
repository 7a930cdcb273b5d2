// The running dialog on Win32 under Wine, on the real registry below a key
// of the test's own: the scenarios driven with the mouse and keyboard as the
// system posts them.
#include "framework/win32/Win32Api.h"  // before anything that includes <windows.h>

#include <gtest/gtest.h>

#include "framework/Afx.h"
#include "store/RegistryStore.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {
namespace {

// The application object the dialog takes its icon from.
CWinApp theTestApp;

class Scenarios : public ::testing::Test, public ::testing::WithParamInterface<test::Scenario> {};

TEST_P(Scenarios, RunOnWin32) {
    RegistryTestKey key("dialog-" + GetParam().name);
    RegistryStore store(key.Handle());
    test::RunScenario(GetParam(), store);
}

INSTANTIATE_TEST_SUITE_P(Dialog, Scenarios, ::testing::ValuesIn(test::DialogScenarios()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tavirap
