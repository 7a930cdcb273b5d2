#include "tests/framework/win32/Win32TestSupport.h"

#include <algorithm>
#include <map>

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

std::vector<std::string> ComboEntries(HWND combo) {
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string text(static_cast<std::size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1,
                         '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
        entries.push_back(text);
    }
    return entries;
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

MessageBoxWatcher* g_watcher = nullptr;

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

}  // namespace

void RunSoon(std::function<void()> action) {
    Pending()[SetTimer(nullptr, 0, 0, &RunPending)] = std::move(action);
}

MessageBoxWatcher::MessageBoxWatcher(int answer)
    : answer_(answer),
      hook_(SetWindowsHookExA(WH_CBT, &MessageBoxWatcher::Hook, nullptr, GetCurrentThreadId())) {
    g_watcher = this;
}

MessageBoxWatcher::~MessageBoxWatcher() {
    UnhookWindowsHookEx(hook_);
    g_watcher = nullptr;
}

LRESULT CALLBACK MessageBoxWatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_watcher != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsMessageBox(window)) {
            g_watcher->Answer(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxWatcher::Answer(HWND box) {
    Shown shown;
    shown.owner = GetWindow(box, GW_OWNER);
    shown.title = TextOf(box);
    shown.text = TextOf(GetDlgItem(box, 0xFFFF));
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
    shown_.push_back(shown);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED), 0);
}

}  // namespace tavirap::test
