// The user's hands on real Win32 dialogs under Wine: keys and clicks as the
// messages the system posts, pumped as the modal loop does; message boxes
// answered from a hook as they are activated.
#include "framework/win32/Win32Backend.h"

#include <gtest/gtest.h>

#include "tests/framework/UiDriver.h"

namespace tavirap::test {
namespace {

std::string TextOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A message box is a dialog with a button of one of the answers' ids.
bool IsMessageBox(HWND window) {
    bool answers = false;
    for (int id = IDOK; id <= static_cast<int>(IDNO); ++id) {
        answers = answers || GetDlgItem(window, id) != nullptr;
    }
    return answers && ClassOf(window) == "#32770";
}

// What a message box shows: its text, and whether it is a warning with
// one button, OK.
Box Describe(HWND box) {
    int buttons = 0;
    bool warning = false;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        buttons += ClassOf(child) == "Button" && (style & WS_VISIBLE) ? 1 : 0;
        warning = warning || (ClassOf(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
                              SendMessageA(child, STM_GETICON, 0, 0) ==
                                  reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_EXCLAMATION)));
    }
    return {TextOf(GetDlgItem(box, 0xFFFF)), warning && buttons == 1 && GetDlgItem(box, IDOK)};
}

class Win32UiDriver : public UiDriver {
public:
    explicit Win32UiDriver(CDialog& dialog)
        : dialog_(dialog),
          hook_(SetWindowsHookExA(WH_CBT, &Win32UiDriver::Hook, nullptr, GetCurrentThreadId())) {
        current_ = this;
    }
    ~Win32UiDriver() override {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }

    void Open() override {
        dialog_.Create();
        Pump();
    }
    bool IsOpen() const override { return Window() != nullptr && IsWindowVisible(Window()); }

    void Click(int id) override { ClickAt(Control(id), nullptr); }
    void Type(int id, const std::string& text) override {
        HWND target = Focus(id);
        SendMessageA(target, EM_SETSEL, 0, -1);
        for (char c : text) {
            PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
        }
        Pump();
    }
    void Press(int id, Key key) override {
        const UINT keys[] = {VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN};
        const UINT code = keys[static_cast<int>(key)];
        const UINT scan = MapVirtualKeyA(code, MAPVK_VK_TO_VSC);
        HWND target = Focus(id);
        PostMessageA(target, WM_KEYDOWN, code, 1 | (scan << 16));
        PostMessageA(target, WM_KEYUP, code, 1 | (scan << 16) | 0xC0000000u);
        Pump();
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
        ClickAt(info.hwndList, &item);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), index);
    }
    void CloseBox() override {
        SendMessageA(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump();
    }

    std::string Text(int id) const override { return TextOf(Control(id)); }
    int FocusedId() const override {
        HWND focus = GetFocus();
        while (focus != nullptr && GetParent(focus) != Window()) {
            focus = GetParent(focus);
        }
        return focus != nullptr ? GetDlgCtrlID(focus) : -1;
    }
    const std::vector<Box>& Boxes() const override { return boxes_; }
    // Every action pumps the queue until it is empty: nothing is left to wait for.
    bool WaitFor(const std::function<bool()>& done) override { return done(); }

private:
    HWND Window() const { return Win32DialogOf(dialog_); }
    HWND Control(int id) const {
        HWND control = Win32ControlOf(dialog_, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    // Gives the control the focus as Tab does; returns the window that then
    // takes the keys: a combo box's edit field, or the control.
    HWND Focus(int id) {
        SendMessageA(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
        Pump();
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        return GetComboBoxInfo(Control(id), &info) && info.hwndItem != nullptr ? info.hwndItem
                                                                               : Control(id);
    }
    // A click at the centre of the rectangle, or of the window.
    void ClickAt(HWND window, const RECT* rect) {
        RECT r{};
        GetClientRect(window, &r);
        r = rect != nullptr ? *rect : r;
        const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        PostMessageA(window, WM_LBUTTONUP, 0, centre);
        Pump();
    }
    // Runs the queued messages as the modal loop does until none is left.
    void Pump() const {
        MSG msg{};
        while (Window() != nullptr && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!ProcessDialogMessage(Window(), msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && current_ != nullptr && IsMessageBox(window)) {
            current_->boxes_.push_back(Describe(window));
            current_->boxes_.back().overShownDialog = current_->IsOpen();
            const auto answer = static_cast<int>(current_->answer_);
            const int buttons[] = {IDYES, IDNO, IDCANCEL};
            if (GetDlgItem(window, IDOK) != nullptr || answer <= static_cast<int>(Answer::Cancel)) {
                const int id = GetDlgItem(window, IDOK) != nullptr ? IDOK : buttons[answer];
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            } else {
                // As the keyboard gives them: the box's own loop turns Enter
                // into its default button and Esc into Cancel.
                PostMessageA(window, WM_KEYDOWN,
                             answer == static_cast<int>(Answer::Escape) ? VK_ESCAPE : VK_RETURN, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline Win32UiDriver* current_ = nullptr;
    CDialog& dialog_;
    HHOOK hook_;
    std::vector<Box> boxes_;
};

}  // namespace

std::unique_ptr<UiDriver> MakeUiDriver(CDialog& dialog) {
    return std::make_unique<Win32UiDriver>(dialog);
}

}  // namespace tavirap::test
