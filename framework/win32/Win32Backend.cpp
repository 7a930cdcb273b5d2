#include "framework/win32/Win32Backend.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

namespace tavirap {

namespace {

// The predefined window classes of dialog items, by their atoms.
struct ItemClass {
    ControlKind kind;
    WORD atom;
};
const ItemClass kItemClasses[] = {
    {ControlKind::Button, 0x0080}, {ControlKind::GroupBox, 0x0080}, {ControlKind::Edit, 0x0081},
    {ControlKind::Static, 0x0082}, {ControlKind::ComboBox, 0x0085},
};

WORD ItemClassAtom(ControlKind kind) {
    for (const ItemClass& c : kItemClasses) {
        if (c.kind == kind) {
            return c.atom;
        }
    }
    throw std::invalid_argument("unknown control kind");
}

class TemplateWriter {
public:
    void Word(WORD w) { words_.push_back(w); }
    void DWord(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Short(int value) { Word(static_cast<WORD>(static_cast<std::int16_t>(value))); }
    // Template texts are UTF-16 with a terminating zero.
    void Text(std::string_view ansi) {
        if (!ansi.empty()) {
            const int size = static_cast<int>(ansi.size());
            const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
            std::wstring wide(static_cast<std::size_t>(length), L'\0');
            MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
            for (wchar_t c : wide) {
                Word(static_cast<WORD>(c));
            }
        }
        Word(0);
    }
    void AlignToDWord() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(words_); }

private:
    std::vector<WORD> words_;
};

void WriteRect(TemplateWriter& out, const DialogRect& r) {
    out.Short(r.x);
    out.Short(r.y);
    out.Short(r.cx);
    out.Short(r.cy);
}

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

class Win32DeviceContext : public DeviceContext {
public:
    explicit Win32DeviceContext(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &paint_)) {}
    ~Win32DeviceContext() override { ::EndPaint(hwnd_, &paint_); }
    Win32DeviceContext(const Win32DeviceContext&) = delete;
    Win32DeviceContext& operator=(const Win32DeviceContext&) = delete;

    void EraseIconBackground() override {
        SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
    }
    void DrawIcon(int x, int y, HICON icon) override {
        ::DrawIcon(dc_, x, y, reinterpret_cast<::HICON>(icon));
    }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    ::HDC dc_;
};

class Win32DialogWindow;

// The accessibility services (COM, and oleacc through it) load at the first
// request of an accessibility client, WM_GETOBJECT to the dialog or to a
// control that takes the focus, and only then are the dialogs' controls
// named: a start that no client reads loads neither. A client asks the
// focused control itself, so those controls are watched (subclassed); a
// thread hook would cost a round trip to Wine's server for every message.
struct Accessibility {
    std::vector<std::pair<HWND, WNDPROC>> watched;  // each with its own procedure
    bool loaded = false;
    HMODULE ole32 = nullptr;
    bool comStarted = false;
    IAccPropServices* services = nullptr;
    std::vector<Win32DialogWindow*> windows;  // the live dialogs, to be named
};
Accessibility g_accessibility;

template <typename Function>
Function Proc(HMODULE module, const char* name) {
    return module != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

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

void WatchForAccessibilityClients(HWND control) {
    if (control != nullptr && !g_accessibility.loaded) {
        g_accessibility.watched.emplace_back(
            control,
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                control, GWLP_WNDPROC,
                reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(&WatchForAccessibilityClients)))));
    }
}

class Win32DialogWindow : public DialogWindow {
public:
    Win32DialogWindow(const DialogTemplate& dialog, CWnd& owner);
    ~Win32DialogWindow() override;
    Win32DialogWindow(const Win32DialogWindow&) = delete;
    Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

    DialogBaseUnits BaseUnits() const override {
        RECT r{0, 0, 4, 8};
        MapDialogRect(hwnd_, &r);
        return {r.right, r.bottom};
    }
    void CenterOnScreen() override;
    void MoveTo(int x, int y) override {
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Show() override {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
    int RunModal() override;
    void EndModal(int result) override;

    void SetIcon(HICON icon, bool big) override {
        SendMessageA(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon));
    }
    bool IsIconic() const override { return ::IsIconic(hwnd_) != FALSE; }
    CRect ClientRect() const override {
        RECT r{};
        ::GetClientRect(hwnd_, &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    std::unique_ptr<DeviceContext> BeginPaint() override {
        if (!painting_) {
            return nullptr;
        }
        return std::make_unique<Win32DeviceContext>(hwnd_);
    }
    void DefaultProcessing() override { defaultWanted_ = true; }

    std::string GetText(int id) const override { return WindowText(Control(id)); }
    void SetText(int id, std::string_view text) override {
        SetWindowTextA(Control(id), std::string(text).c_str());
        for (std::size_t i = 0; i < template_.controls.size(); ++i) {
            if (template_.controls[i].id == id) {
                NameFromLabels(i);
            }
        }
    }
    int ComboAddString(int id, std::string_view text) override {
        const std::string entry(text);
        return static_cast<int>(
            SendMessageA(Control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str())));
    }
    int ComboGetCurSel(int id) const override {
        return static_cast<int>(SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
    }
    void FocusControl(int id, bool selectText) override;
    // The shield is what Windows users know; it needs no tooltip.
    void MarkNeedsRights(int id, std::string_view) override {
        SendMessageA(Control(id), BCM_SETSHIELD, 0, TRUE);
    }
    void PostCommand(int id) override { PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    HWND Handle() const { return hwnd_; }
    // The control's window; throws when the template has no such control.
    // The help command, as F1 gives it.
    void Help();
    HWND Control(int id) const;
    // The name assistive technology is given for a control: after its label
    // where the form pairs it with one, otherwise its own text.
    std::string AccessibleName(int id) const;
    // Gives every labelled control its name; done once the accessibility
    // services are loaded, and again as labels change.
    void NameControls();

    static INT_PTR CALLBACK DialogProc(HWND hwnd, ::UINT message, ::WPARAM wParam, ::LPARAM lParam);

protected:
    int ComboCount(int id) const override {
        return static_cast<int>(SendMessageA(Control(id), CB_GETCOUNT, 0, 0));
    }
    std::string ComboEntry(int id, int index) const override {
        HWND combo = Control(id);
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        const LRESULT got = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
        return text;
    }
    void ComboChoose(int id, int index) override {
        SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

private:
    // Hands a message to the owner's WindowProc; false when the owner asked
    // for the default handling (or took no interest in it).
    bool Deliver(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Gives the controls that a label names the accessible name it makes,
    // through the accessibility services once they are loaded: Windows would
    // name a field after the static text created just before it, which is
    // the wrong one for some of the form's fields and none of the rows'.
    void NameFromLabels(std::size_t labelIndex);

    const DialogTemplate& template_;
    CWnd& owner_;
    HWND hwnd_ = nullptr;
    bool painting_ = false;
    bool defaultWanted_ = false;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = 0;
};

Win32DialogWindow::Win32DialogWindow(const DialogTemplate& dialog, CWnd& owner)
    : template_(dialog), owner_(owner) {
    const std::vector<WORD> memory = BuildDialogTemplate(dialog);
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEA>(memory.data()), nullptr,
                               &Win32DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd_ == nullptr) {
        throw std::runtime_error("dialog " + std::to_string(dialog.id) +
                                 " could not be created (error " + std::to_string(GetLastError()) +
                                 ")");
    }
    g_accessibility.windows.push_back(this);
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
    IAccPropServices* services = g_accessibility.services;
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
    std::erase(g_accessibility.windows, this);
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
            if (!g_accessibility.loaded) {
                LoadAccessibility();
            }
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

}  // namespace

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

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog) {
    if (dialog.controls.size() > 0xFFFF) {
        throw std::invalid_argument("too many controls for a dialog template");
    }
    TemplateWriter out;
    const bool hasFont = (dialog.style & DS_SETFONT) != 0;
    out.DWord(dialog.style & ~static_cast<DWORD>(WS_VISIBLE));
    out.DWord(dialog.exStyle);
    out.Word(static_cast<WORD>(dialog.controls.size()));
    WriteRect(out, dialog.rect);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(dialog.caption);
    if (hasFont) {
        out.Word(static_cast<WORD>(dialog.pointSize));
        out.Text(dialog.fontName);
    }
    for (const DialogControl& c : dialog.controls) {
        out.AlignToDWord();
        out.DWord(c.style);
        out.DWord(c.exStyle);
        WriteRect(out, c.rect);
        out.Word(static_cast<WORD>(c.id));  // -1 is 0xFFFF, as resource compilers write it
        out.Word(0xFFFF);
        out.Word(ItemClassAtom(c.kind));
        out.Text(c.text);
        out.Word(0);  // no creation data: the lists come from the init data
    }
    return out.Take();
}

namespace {

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

Win32WindowBackend::Win32WindowBackend() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    AfxSetBackend(this);
}

Win32WindowBackend::~Win32WindowBackend() {
    AfxSetBackend(nullptr);
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

HICON Win32WindowBackend::LoadIconResource(int resourceId) {
    return reinterpret_cast<HICON>(
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

namespace {

// One argument as the started program's C runtime splits its command line.
std::string QuoteArgument(const std::string& arg) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

// ShellExecuteEx's "runas" (the UAC prompt) on a program beside this one.
// A program started so gets no standard input: the input's lines follow the
// arguments, so that what runs with rights is exactly what was asked for and
// no file is left or read.
class RunasElevation : public Elevation {
public:
    RunasElevation(std::string program, std::vector<std::string> leading)
        : program_(std::move(program)), leading_(std::move(leading)) {}

    ElevatedRun Run(const std::vector<std::string>& args, const std::string& input) override {
        char self[MAX_PATH + 1] = {};
        const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string program(self, length);
        program = program.substr(0, program.find_last_of("\\/") + 1) + program_;
        std::vector<std::string> all = leading_;
        all.insert(all.end(), args.begin(), args.end());
        for (std::size_t start = 0; start < input.size();) {
            const std::size_t end = std::min(input.find('\n', start), input.size());
            all.push_back(
                input.substr(start, end - start - (end > start && input[end - 1] == '\r')));
            start = end + 1;
        }
        std::string parameters;
        for (const std::string& arg : all) {
            parameters += (parameters.empty() ? "" : " ") + QuoteArgument(arg);
        }
        SHELLEXECUTEINFOA run{};
        run.cbSize = sizeof run;
        run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        run.hwnd = GetActiveWindow();
        run.lpVerb = "runas";
        run.lpFile = program.c_str();
        run.lpParameters = parameters.c_str();
        run.nShow = SW_HIDE;
        if (!ShellExecuteExA(&run)) {
            const DWORD error = GetLastError();
            return error == ERROR_CANCELLED
                       ? ElevatedRun{ElevatedRun::Outcome::kDismissed, 0, {}}
                       : ElevatedRun{ElevatedRun::Outcome::kUnavailable, 0,
                                     program +
                                         " could not be started with administrator rights "
                                         "(error " +
                                         std::to_string(error) + ")"};
        }
        WaitForSingleObject(run.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(run.hProcess, &exitCode);
        CloseHandle(run.hProcess);
        return {ElevatedRun::Outcome::kExited, static_cast<int>(exitCode), {}};
    }

private:
    std::string program_;
    std::vector<std::string> leading_;
};

}  // namespace

std::unique_ptr<Elevation> MakeElevation(std::string program, std::vector<std::string> leading) {
    return std::make_unique<RunasElevation>(std::move(program), std::move(leading));
}

int Win32WindowBackend::RunMessageLoop() {
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

namespace {

// True in the program linked for the GUI subsystem (tavirap.exe): Windows
// gives it no console, and a shell does not wait for it.
bool IsGuiProgram() {
    const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

// The GUI program's command-line run: each standard stream its caller did
// not redirect goes to the caller's console, where there is one (cmd.exe
// shows the output, though it does not wait), and otherwise nowhere (started
// from Explorer or with administrator rights), so that writing the output
// does not fail the run.
void ConnectStandardStreams() {
    struct Stream {
        DWORD id;
        FILE* file;
        int flags;
        const char* device;
    };
    const Stream streams[] = {{STD_INPUT_HANDLE, stdin, _O_RDONLY, "CONIN$"},
                              {STD_OUTPUT_HANDLE, stdout, _O_WRONLY, "CONOUT$"},
                              {STD_ERROR_HANDLE, stderr, _O_WRONLY, "CONOUT$"}};
    bool asked = false;
    bool console = false;
    for (int fd = 0; fd < 3; ++fd) {
        const Stream& s = streams[fd];
        HANDLE handle = GetStdHandle(s.id);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
            GetFileType(handle) != FILE_TYPE_UNKNOWN) {
            continue;
        }
        if (!asked) {
            console = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
            asked = true;
        }
        int opened = _open(console ? s.device : "NUL", s.flags | _O_BINARY);
        if (opened < 0) {
            opened = _open("NUL", s.flags | _O_BINARY);
        }
        if (opened >= 0 && opened != fd) {
            _dup2(opened, fd);
            _close(opened);
        }
        // The C library marks the stream of a handle a GUI program was not
        // given as having no file at all (freopen then fails too); it takes
        // the file now behind its number.
        s.file->_file = fd;
    }
}

}  // namespace

int TavirapWinMain(int argc, char** argv) {
    if (argc > 1 && IsGuiProgram()) {
        ConnectStandardStreams();
    }
    // Exported files keep their CRLF line ends, and imported ones reach the
    // parser as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    if (int exitCode = 0; AfxRunWithoutWindow(argc, argv, exitCode)) {
        return exitCode;
    }
    // A console made just for this program (started from Explorer) goes
    // before the dialog shows; a console shared with a shell stays.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) {
        ShowWindow(GetConsoleWindow(), SW_HIDE);
        FreeConsole();
    }
    Win32WindowBackend backend;
    return AfxWinMain();
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
