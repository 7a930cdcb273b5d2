#include "tests/framework/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/framework/UiDriver.h"

namespace tavirap::test {

void PumpMessages(HWND dialog) {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!ProcessDialogMessage(dialog, msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void PressKey(HWND dialog, HWND control, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(control, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(control, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
    PumpMessages(dialog);
}

void TypeChars(HWND dialog, HWND control, std::string_view text) {
    for (char c : text) {
        PostMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    PumpMessages(dialog);
}

void FocusLikeTab(HWND dialog, HWND control) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    PumpMessages(dialog);
}

HWND ComboEdit(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndItem != combo ? info.hwndItem : nullptr
                                         : nullptr;
}

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

namespace {

std::map<UINT_PTR, std::function<void()>>& Pending() {
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const auto it = Pending().find(id);
    if (it != Pending().end()) {
        const std::function<void()> action = std::move(it->second);
        Pending().erase(it);
        action();
    }
}

struct BoxIcon {
    LPCSTR system;
    UINT type;
};
const BoxIcon kBoxIcons[] = {
    {IDI_HAND, MB_ICONHAND},
    {IDI_QUESTION, MB_ICONQUESTION},
    {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
    {IDI_ASTERISK, MB_ICONASTERISK},
};

// A message box is a dialog with a button of one of the answers' ids.
bool IsMessageBox(HWND window) {
    if (ClassOf(window) != "#32770") {
        return false;
    }
    for (UINT id = IDOK; id <= IDNO; ++id) {
        if (HWND button = GetDlgItem(window, static_cast<int>(id));
            button != nullptr && ClassOf(button) == "Button") {
            return true;
        }
    }
    return false;
}

// What a message box shows; `dialog` is the window it should belong to.
Box Describe(HWND box, HWND dialog) {
    Box shown{TextOf(box),
              TextOf(GetDlgItem(box, 0xFFFF)),
              0,
              {},
              dialog != nullptr && GetWindow(box, GW_OWNER) == dialog};
    std::vector<std::pair<int, HWND>> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (ClassOf(child) == "Button" && (style & WS_VISIBLE)) {
            buttons.emplace_back(GetDlgCtrlID(child), child);
        } else if (ClassOf(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            const auto icon = reinterpret_cast<::HICON>(SendMessageA(child, STM_GETICON, 0, 0));
            for (const BoxIcon& i : kBoxIcons) {
                if (icon != nullptr && icon == LoadIconA(nullptr, i.system)) {
                    shown.icon = i.type;
                }
            }
        }
    }
    std::sort(buttons.begin(), buttons.end(), [](const auto& a, const auto& b) {
        RECT ra{}, rb{};
        GetWindowRect(a.second, &ra);
        GetWindowRect(b.second, &rb);
        return ra.left < rb.left;
    });
    for (const auto& b : buttons) {
        shown.buttons.push_back(b.first);
    }
    return shown;
}

// Keys and clicks as the system posts them; message boxes answered from a
// hook as they are activated.
class Win32UiDriver : public UiDriver {
public:
    Win32UiDriver(CDialog& dialog, int answer)
        : dialog_(dialog),
          answer_(answer),
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
    bool IsOpen() const override {
        HWND window = Window();
        return window != nullptr && IsWindowVisible(window);
    }
    INT_PTR RunModal(const std::function<void()>& whileOpen) override {
        RunSoon(whileOpen);
        return dialog_.DoModal();
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
        TypeChars(Window(), target, text);
    }
    void Press(int id, Key key) override {
        static const std::map<Key, UINT> kKeys = {{Key::Enter, VK_RETURN},
                                                  {Key::Escape, VK_ESCAPE},
                                                  {Key::Up, VK_UP},
                                                  {Key::Down, VK_DOWN},
                                                  {Key::F1, VK_F1}};
        PressKey(Window(), Focus(id), kKeys.at(key));
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
        ASSERT_EQ(Selection(id), index);
    }
    void CloseBox() override {
        SendMessageA(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump();
    }

    void SetText(int id, const std::string& text) override {
        SetWindowTextA(Control(id), text.c_str());
    }
    void Select(int id, int index) override { SendMessageA(Control(id), CB_SETCURSEL, index, 0); }

    std::string Text(int id) const override { return TextOf(Control(id)); }
    int Selection(int id) const override {
        return static_cast<int>(SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
    }
    std::vector<std::string> Entries(int id) const override {
        std::vector<std::string> entries;
        HWND combo = Control(id);
        const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::string text(
                static_cast<std::size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            text.resize(text.size() - 1);
            entries.push_back(text);
        }
        return entries;
    }
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
        SendMessageA(KeyTarget(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return start == 0 && end == TextOf(KeyTarget(id)).size();
    }
    bool TextFits(int id) const override {
        HWND edit = KeyTarget(id);
        const std::string text = TextOf(edit);
        RECT format{};
        SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        ::HDC dc = GetDC(edit);
        const HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)));
        SIZE used{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &used);
        SelectObject(dc, old);
        ReleaseDC(edit, dc);
        DWORD caret = 0;
        SendMessageA(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
        return used.cx <= format.right - format.left && caret == text.size();
    }
    std::vector<int> TabOrder() const override {
        std::vector<int> order;
        HWND start = nullptr;
        for (const DialogControl& c : dialog_.GetTemplate().controls) {
            if (start == nullptr && (c.style & WS_TABSTOP)) {
                start = Control(c.id);
            }
        }
        HWND w = start;
        do {
            order.push_back(GetDlgCtrlID(w));
            w = GetNextDlgTabItem(Window(), w, FALSE);
        } while (w != start && order.size() < 100);
        return order;
    }
    const std::vector<Box>& Boxes() const override { return boxes_; }

private:
    HWND Window() const { return Win32DialogOf(dialog_); }
    HWND Control(int id) const {
        HWND control = Win32ControlOf(dialog_, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    // The window that takes the keys: a combo box's edit field, or the control.
    HWND KeyTarget(int id) const {
        HWND edit = ComboEdit(Control(id));
        return edit != nullptr ? edit : Control(id);
    }
    // Gives the control the focus as Tab does; returns the window that then
    // takes the keys.
    HWND Focus(int id) {
        FocusLikeTab(Window(), Control(id));
        return KeyTarget(id);
    }
    void Pump() const {
        if (HWND window = Window()) {
            PumpMessages(window);
        }
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && current_ != nullptr && IsMessageBox(window)) {
            current_->boxes_.push_back(Describe(window, current_->Window()));
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(current_->answer_, BN_CLICKED), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline Win32UiDriver* current_ = nullptr;
    CDialog& dialog_;
    int answer_;
    HHOOK hook_;
    std::vector<Box> boxes_;
};

}  // namespace

void RunSoon(std::function<void()> action) {
    Pending()[SetTimer(nullptr, 0, 0, &RunPending)] = std::move(action);
}

std::unique_ptr<UiDriver> MakeUiDriver(CDialog& dialog, int answer) {
    return std::make_unique<Win32UiDriver>(dialog, answer);
}

}  // namespace tavirap::test
