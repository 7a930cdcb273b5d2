// The running dialog on Win32 under Wine, on the real registry below a key
// of the test's own: the shared scenarios driven with the mouse and keyboard
// as the system posts them.
#include "tests/framework/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "store/RegistryStore.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/settings/ProcessState.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {
namespace {

// The application object the dialog takes its icon from.
CWinApp theTestApp;

class Win32Driver : public test::DialogDriver {
public:
    explicit Win32Driver(SettingsStore& store) : store_(store) {}

    void Open() override {
        dialog_ = std::make_unique<CPortSetupDlg>(store_);
        dialog_->Create();
        Pump();
    }

    bool IsOpen() const override {
        HWND window = Win32DialogOf(*dialog_);
        return window != nullptr && IsWindowVisible(window);
    }

    void Click(int id) override {
        HWND button = Control(id);
        RECT r{};
        GetClientRect(button, &r);
        const LPARAM centre = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        PostMessageA(button, WM_LBUTTONUP, 0, centre);
        Pump();
    }

    void Type(int id, const std::string& text) override {
        HWND target = Focus(id);
        SendMessageA(target, EM_SETSEL, 0, -1);
        test::TypeChars(Window(), target, text);
    }

    void Press(int id, test::Key key) override {
        static const std::map<test::Key, UINT> kKeys = {{test::Key::Enter, VK_RETURN},
                                                        {test::Key::Escape, VK_ESCAPE},
                                                        {test::Key::Up, VK_UP},
                                                        {test::Key::Down, VK_DOWN}};
        test::PressKey(Window(), Focus(id), kKeys.at(key));
    }

    void Choose(int id, int index) override {
        HWND combo = Control(id);
        Focus(id);
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        Pump();
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        SendMessageA(info.hwndList, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        RECT item{};
        SendMessageA(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        const LPARAM centre =
            MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        PostMessageA(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        PostMessageA(info.hwndList, WM_LBUTTONUP, 0, centre);
        Pump();
        ASSERT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), index);
    }

    std::string Text(int id) const override { return test::TextOf(Control(id)); }

    int FocusedId() const override {
        HWND focus = GetFocus();
        while (focus != nullptr && GetParent(focus) != Window()) {
            focus = GetParent(focus);
        }
        return focus != nullptr ? GetDlgCtrlID(focus) : -1;
    }

    bool TextSelected(int id) const override {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(Control(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return start == 0 && end > 0 && end == Text(id).size();
    }

    int MessageCount() const override { return static_cast<int>(boxes_.shown().size()); }

    const test::MessageBoxWatcher& Boxes() const { return boxes_; }

private:
    HWND Window() const { return Win32DialogOf(*dialog_); }
    HWND Control(int id) const {
        HWND control = Win32ControlOf(*dialog_, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    // Gives the control the focus as Tab does; returns the window that then
    // takes the keys (a combo box's edit field).
    HWND Focus(int id) {
        test::FocusLikeTab(Window(), Control(id));
        HWND edit = test::ComboEdit(Control(id));
        return edit != nullptr ? edit : Control(id);
    }
    void Pump() const {
        if (HWND window = Window()) {
            test::PumpMessages(window);
        }
    }

    SettingsStore& store_;
    std::unique_ptr<CPortSetupDlg> dialog_;
    test::MessageBoxWatcher boxes_;
};

class Scenarios : public ProcessStateTest, public ::testing::WithParamInterface<test::Scenario> {};

TEST_P(Scenarios, RunOnWin32) {
    RegistryTestKey key("dialog-" + GetParam().name);
    RegistryStore store(key.Handle());
    Win32Driver driver(store);
    test::RunScenario(GetParam(), driver, store);
    for (const auto& box : driver.Boxes().shown()) {
        EXPECT_EQ(box.icon, MB_ICONEXCLAMATION) << box.text;
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK}) << box.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Dialog, Scenarios, ::testing::ValuesIn(test::DialogScenarios()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tavirap
