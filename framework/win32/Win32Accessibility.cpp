#include "framework/win32/Win32Accessibility.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/win32/Win32DialogWindow.h"

namespace tavirap {

namespace {

// The controls that take the focus are watched (subclassed); a thread hook
// would cost a round trip to Wine's server for every message.
struct Accessibility {
    std::vector<std::pair<HWND, WNDPROC>> watched;  // each with its own procedure
    bool loaded = false;
    HMODULE ole32 = nullptr;
    bool comStarted = false;
    IAccPropServices* services = nullptr;
    std::vector<Win32DialogWindow*> windows;  // the live dialogs, to be named
};
Accessibility g_accessibility;

void LoadAccessibility();

LRESULT CALLBACK WatchForAccessibilityClients(HWND hwnd, ::UINT message, ::WPARAM wParam,
                                              ::LPARAM lParam) {
    auto& watched = g_accessibility.watched;
    const auto it = std::find_if(watched.begin(), watched.end(),
                                 [hwnd](const auto& w) { return w.first == hwnd; });
    const WNDPROC own = it != watched.end() ? it->second : &DefWindowProcW;
    if (message == WM_GETOBJECT && !g_accessibility.loaded) {
        LoadAccessibility();
    } else if (message == WM_NCDESTROY && it != watched.end()) {
        watched.erase(it);
    }
    return CallWindowProcW(own, hwnd, message, wParam, lParam);
}

void LoadAccessibility() {
    Accessibility& a = g_accessibility;
    a.loaded = true;
    a.ole32 = LoadLibraryA("ole32.dll");
    const auto start = Proc<HRESULT(WINAPI*)(LPVOID, DWORD)>(a.ole32, "CoInitializeEx");
    const auto create = Proc<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>(
        a.ole32, "CoCreateInstance");
    const HRESULT started = start != nullptr ? start(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
    a.comStarted = SUCCEEDED(started);  // S_FALSE too: this thread had started COM already
    // A thread in another apartment has COM started all the same.
    if ((a.comStarted || started == RPC_E_CHANGED_MODE) && create != nullptr &&
        FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      reinterpret_cast<void**>(&a.services)))) {
        a.services = nullptr;
    }
    for (Win32DialogWindow* window : a.windows) {
        window->NameControls();
    }
}

}  // namespace

void WatchForAccessibilityClients(HWND control) {
    if (control != nullptr && !g_accessibility.loaded) {
        g_accessibility.watched.emplace_back(
            control,
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                control, GWLP_WNDPROC,
                reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(&WatchForAccessibilityClients)))));
    }
}

void LoadAccessibilityOnRequest() {
    if (!g_accessibility.loaded) {
        LoadAccessibility();
    }
}

IAccPropServices* AccessibilityServices() {
    return g_accessibility.services;
}

void AddNamedDialog(Win32DialogWindow* window) {
    g_accessibility.windows.push_back(window);
}

void RemoveNamedDialog(Win32DialogWindow* window) {
    std::erase(g_accessibility.windows, window);
}

void UnloadAccessibility() {
    Accessibility& a = g_accessibility;
    if (a.services != nullptr) {
        a.services->Release();
    }
    if (a.comStarted) {
        Proc<void(WINAPI*)()>(a.ole32, "CoUninitialize")();
    }
    if (a.ole32 != nullptr) {
        FreeLibrary(a.ole32);
    }
    // Watched windows that outlive the backend keep their procedures.
    a.loaded = a.comStarted = false;
    a.ole32 = nullptr;
    a.services = nullptr;
}

}  // namespace tavirap
