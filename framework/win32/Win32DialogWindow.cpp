#include "framework/win32/Win32DialogWindow.h"

#include <algorithm>
#include <vector>

#include "framework/Error.h"
#include "framework/win32/Win32Accessibility.h"

namespace tavirap {

namespace {

class Win32DeviceContext : public DeviceContext {
public:
    explicit Win32DeviceContext(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &paint_)) {}
    ~Win32DeviceContext() override { ::EndPaint(hwnd_, &paint_); }
    Win32DeviceContext(const Win32DeviceContext&) = delete;
    Win32DeviceContext& operator=(const Win32DeviceContext&) = delete;

    void EraseIconBackground() override {
        SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
    }
    void DrawIcon(int x, int y, IconHandle icon) override {
        ::DrawIcon(dc_, x, y, reinterpret_cast<::HICON>(icon));
    }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    ::HDC dc_;
};

}  // namespace

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

Win32DialogWindow::Win32DialogWindow(const DialogTemplate& dialog, CWnd& owner)
    : template_(dialog), owner_(owner) {
    const std::vector<WORD> memory = BuildDialogTemplate(dialog);
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEA>(memory.data()), nullptr,
                               &Win32DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd_ == nullptr) {
        throw Error("dialog " + std::to_string(dialog.id) + " could not be created (error " +
                    std::to_string(GetLastError()) + ")");
    }
    AddNamedDialog(this);
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        if ((GetWindowLongPtrA(c, GWL_STYLE) & WS_TABSTOP) != 0) {
            WatchForAccessibilityClients(c);
            if (GetComboBoxInfo(c, &combo) && combo.hwndItem != c) {
                WatchForAccessibilityClients(combo.hwndItem);
            }
        }
    }
    NameControls();
}

void Win32DialogWindow::NameControls() {
    for (const ControlLabel& label : template_.labels) {
        NameFromLabels(label.labelIndex);
    }
}

std::string Win32DialogWindow::AccessibleName(int id) const {
    for (const ControlLabel& label : template_.labels) {
        if (label.controlId == id) {
            // The dialog's children stand in the template's order.
            HWND labelWindow = GetWindow(hwnd_, GW_CHILD);
            for (std::size_t i = 0; i < label.labelIndex && labelWindow != nullptr; ++i) {
                labelWindow = GetWindow(labelWindow, GW_HWNDNEXT);
            }
            return AccessibleNameFromLabel(WindowText(labelWindow), label.suffix);
        }
    }
    return WindowText(Control(id));
}

void Win32DialogWindow::NameFromLabels(std::size_t labelIndex) {
    IAccPropServices* services = AccessibilityServices();
    for (const ControlLabel& label : template_.labels) {
        if (label.labelIndex != labelIndex || services == nullptr) {
            continue;
        }
        const std::string name = AccessibleName(label.controlId);
        std::wstring wide(name.size() + 1, L'\0');
        wide.resize(static_cast<std::size_t>(
            std::max(0, MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(),
                                            static_cast<int>(wide.size())) -
                            1)));
        const auto give = [&](HWND named) {
            services->SetHwndPropStr(named, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                     wide.c_str());
        };
        HWND control = Control(label.controlId);
        give(control);
        // A combo box's edit field is what takes the focus: it says the same.
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        if (GetComboBoxInfo(control, &combo) && combo.hwndItem != nullptr &&
            combo.hwndItem != control) {
            give(combo.hwndItem);
        }
    }
}

Win32DialogWindow::~Win32DialogWindow() {
    // The owner may be half destroyed already: it hears nothing more.
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
    RemoveNamedDialog(this);
}

HWND Win32DialogWindow::Control(int id) const {
    template_.IndexOf(id);
    return GetDlgItem(hwnd_, id);
}

void Win32DialogWindow::CenterOnScreen() {
    RECT window{};
    GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    MoveTo(area.left + (area.right - area.left - (window.right - window.left)) / 2,
           area.top + (area.bottom - area.top - (window.bottom - window.top)) / 2);
}

int Win32DialogWindow::RunModal() {
    modal_ = true;
    ended_ = false;
    Show();
    MSG msg{};
    while (!ended_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program is quitting: the loop outside sees WM_QUIT again.
            PostQuitMessage(static_cast<int>(msg.wParam));
            result_ = -1;
            break;
        }
        if (!ProcessDialogMessage(hwnd_, msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    modal_ = false;
    ShowWindow(hwnd_, SW_HIDE);
    return result_;
}

void Win32DialogWindow::EndModal(int result) {
    if (modal_) {
        result_ = result;
        ended_ = true;
        PostMessageA(hwnd_, WM_NULL, 0, 0);  // wakes the loop, should it wait
    } else {
        ShowWindow(hwnd_, SW_HIDE);
    }
}

void Win32DialogWindow::FocusControl(int id, bool selectText) {
    HWND control = Control(id);
    // Through the dialog manager, so that the default button follows the focus.
    SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (selectText) {
        SendMessageA(control, EM_SETSEL, 0, -1);
    }
}

void Win32DialogWindow::Help() {
    LRESULT result = 0;
    Deliver(WM_COMMAND, MAKEWPARAM(cmd::kHelp, notify::kCommand), 0, result);
}

bool Win32DialogWindow::Deliver(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool outer = defaultWanted_;
    defaultWanted_ = false;
    result = owner_.WindowProc(message, wParam, lParam);
    const bool handled = !defaultWanted_;
    defaultWanted_ = outer;
    return handled;
}

INT_PTR Win32DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (message) {
        case WM_COMMAND:
            // Every command and notification, as the dialog manager sends it:
            // Enter (the default or focused button, else IDOK), Esc (IDCANCEL),
            // buttons' clicks and the combo boxes' notifications.
            return Deliver(WM_COMMAND, wParam, lParam, result) ? TRUE : FALSE;
        case WM_CLOSE:  // the close box and the system menu's Close
            Deliver(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, result);
            return TRUE;
        case WM_HELP:  // F1, where the system turns it into WM_HELP
            Help();
            return TRUE;
        case WM_PAINT: {
            painting_ = true;
            const bool handled = Deliver(WM_PAINT, 0, 0, result);
            painting_ = false;
            return handled ? TRUE : FALSE;
        }
        case WM_QUERYDRAGICON:
            // One of the messages whose result a dialog procedure returns as it is.
            return Deliver(WM_QUERYDRAGICON, 0, 0, result) ? result : FALSE;
        case WM_GETOBJECT:
            LoadAccessibilityOnRequest();
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, ::UINT message, ::WPARAM wParam,
                                               ::LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Win32DialogWindow*>(lParam);
        window->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        return TRUE;  // the focus goes to the first tab stop
    }
    auto* window = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return window != nullptr ? window->OnMessage(message, wParam, lParam) : FALSE;
}

std::unique_ptr<DeviceContext> Win32DialogWindow::BeginPaint() {
    if (!painting_) {
        return nullptr;
    }
    return std::make_unique<Win32DeviceContext>(hwnd_);
}

bool ProcessDialogMessage(HWND dialog, MSG& msg) {
    const bool forDialog = msg.hwnd == dialog || IsChild(dialog, msg.hwnd);
    if (forDialog && msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        if (auto* window =
                reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrA(dialog, DWLP_USER))) {
            window->Help();
            return true;
        }
    }
    return IsDialogMessageA(dialog, &msg) != FALSE;
}

HWND Win32DialogOf(const CWnd& wnd) {
    auto* window = dynamic_cast<Win32DialogWindow*>(wnd.GetDialogWindow());
    return window != nullptr ? window->Handle() : nullptr;
}

HWND Win32ControlOf(const CWnd& wnd, int id) {
    HWND dialog = Win32DialogOf(wnd);
    return dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
}

std::string Win32AccessibleName(const CWnd& wnd, int id) {
    auto* window = dynamic_cast<Win32DialogWindow*>(wnd.GetDialogWindow());
    return window != nullptr ? window->AccessibleName(id) : std::string();
}

}  // namespace tavirap
