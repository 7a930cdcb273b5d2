// Linked only into the benchmarks' programs: closes the first dialog as soon
// as it has been shown and painted, as its close box would, so that a
// benchmark can time a start from the process's birth to the painted window.
#include <windows.h>

namespace {

HHOOK g_queued = nullptr;
HHOOK g_sent = nullptr;
bool g_done = false;

// The first paint of a dialog: every control paints now, then the close comes.
void CloseAfterPaint(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    char name[16] = {};
    GetClassNameA(root, name, sizeof name);
    if (g_done || lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(root)) {
        return;
    }
    g_done = true;
    RedrawWindow(root, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PostMessageA(root, WM_CLOSE, 0, 0);
}

// A WM_PAINT taken from the queue, before it is dispatched.
LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT) {
        CloseAfterPaint(msg->hwnd);
    }
    return CallNextHookEx(g_queued, code, wParam, lParam);
}

// A WM_PAINT sent by UpdateWindow, once the window has handled it.
LRESULT CALLBACK OnSentMessageDone(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_PAINT) {
        CloseAfterPaint(msg->hwnd);
    }
    return CallNextHookEx(g_sent, code, wParam, lParam);
}

// Before main: the hooks watch the thread that will run the dialog.
const bool g_installed = [] {
    const DWORD thread = GetCurrentThreadId();
    g_queued = SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, thread);
    g_sent = SetWindowsHookExA(WH_CALLWNDPROCRET, OnSentMessageDone, nullptr, thread);
    return g_queued != nullptr && g_sent != nullptr;
}();

}  // namespace
