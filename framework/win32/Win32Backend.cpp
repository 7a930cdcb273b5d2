#include "framework/win32/Win32Backend.h"

#include <string>

#include "framework/win32/Win32Accessibility.h"
#include "framework/win32/Win32DialogWindow.h"

namespace tavirap {

// The common controls (version 6, which the manifest asks for) load with the
// dialog only: a command-line run never needs them, and loading them is a
// good part of a start under Wine.
Win32WindowBackend::Win32WindowBackend() {
    const auto init = Proc<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(LoadLibraryA("comctl32.dll"),
                                                                       "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    if (init != nullptr) {
        init(&controls);
    }
    AfxSetBackend(this);
}

Win32WindowBackend::~Win32WindowBackend() {
    AfxSetBackend(nullptr);
    UnloadAccessibility();
}

std::unique_ptr<DialogWindow> Win32WindowBackend::CreateDialogWindow(const DialogTemplate& dialog,
                                                                     CWnd& owner) {
    return std::make_unique<Win32DialogWindow>(dialog, owner);
}

int Win32WindowBackend::ShowMessage(DialogWindow* owner, std::string_view text,
                                    std::string_view caption, UINT type) {
    auto* window = dynamic_cast<Win32DialogWindow*>(owner);
    HWND parent = window != nullptr ? window->Handle() : GetActiveWindow();
    return MessageBoxA(parent, std::string(text).c_str(), std::string(caption).c_str(), type);
}

IconHandle Win32WindowBackend::LoadIconResource(int resourceId) {
    return reinterpret_cast<IconHandle>(
        LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

int Win32WindowBackend::GetSystemMetrics(int index) const {
    return ::GetSystemMetrics(index);
}

std::string Win32WindowBackend::ProgramName() const {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    name.erase(0, name.find_last_of("\\/") + 1);
    if (const std::size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

bool Win32WindowBackend::ShowHelp(std::uint32_t) {
    return false;
}

int Win32WindowBackend::RunMessageLoop() {
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace tavirap
