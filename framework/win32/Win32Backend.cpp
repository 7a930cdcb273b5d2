#include "framework/win32/Win32Backend.h"

#include <fcntl.h>
#include <io.h>

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

    // Gives the controls that a label names (the rows' address fields, whose
    // labels do not stand just before them) the accessible name it makes.
    void NameFromLabels(std::size_t labelIndex);

    const DialogTemplate& template_;
    CWnd& owner_;
    HWND hwnd_ = nullptr;
    IAccPropServices* accessibility_ = nullptr;
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
    if (!dialog.labels.empty() &&
        SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices,
                                   reinterpret_cast<void**>(&accessibility_)))) {
        for (const ControlLabel& label : dialog.labels) {
            NameFromLabels(label.labelIndex);
        }
    }
}

void Win32DialogWindow::NameFromLabels(std::size_t labelIndex) {
    if (accessibility_ == nullptr) {
        return;
    }
    for (const ControlLabel& label : template_.labels) {
        if (label.labelIndex != labelIndex) {
            continue;
        }
        // The dialog's children stand in the template's order.
        HWND labelWindow = GetWindow(hwnd_, GW_CHILD);
        for (std::size_t i = 0; i < labelIndex && labelWindow != nullptr; ++i) {
            labelWindow = GetWindow(labelWindow, GW_HWNDNEXT);
        }
        const std::string name = AccessibleNameFromLabel(WindowText(labelWindow), label.suffix);
        std::wstring wide(name.size() + 1, L'\0');
        wide.resize(static_cast<std::size_t>(
            std::max(0, MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(),
                                            static_cast<int>(wide.size())) -
                            1)));
        accessibility_->SetHwndPropStr(Control(label.controlId), OBJID_CLIENT, CHILDID_SELF,
                                       PROPID_ACC_NAME, wide.c_str());
    }
}

Win32DialogWindow::~Win32DialogWindow() {
    // The owner may be half destroyed already: it hears nothing more.
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
    if (accessibility_ != nullptr) {
        accessibility_->Release();
    }
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

Win32WindowBackend::Win32WindowBackend() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    // The accessibility services are COM objects.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    AfxSetBackend(this);
}

Win32WindowBackend::~Win32WindowBackend() {
    AfxSetBackend(nullptr);
    CoUninitialize();
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

ElevatedRun Win32WindowBackend::RunElevated(const std::vector<std::string>& args,
                                            const std::string& input) {
    // The input goes in a file of the user's own: an elevated program gets
    // no standard input from the one that asked for it.
    char folder[MAX_PATH + 1] = {};
    char file[MAX_PATH + 1] = {};
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "tav", 0, file) == 0) {
        return {ElevatedRun::Outcome::kUnavailable, 0, "no temporary file for the settings"};
    }
    HANDLE out = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY, nullptr);
    DWORD written = 0;
    const bool stored =
        out != INVALID_HANDLE_VALUE &&
        WriteFile(out, input.data(), static_cast<DWORD>(input.size()), &written, nullptr) &&
        written == input.size();
    if (out != INVALID_HANDLE_VALUE) {
        CloseHandle(out);
    }
    char program[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string parameters;
    // TAVIRAP_ELEVATE names a stand-in for tests, run with this program's path first.
    char standIn[MAX_PATH + 1] = {};
    const bool testing = GetEnvironmentVariableA("TAVIRAP_ELEVATE", standIn, MAX_PATH) > 0;
    if (testing) {
        parameters = "\"" + std::string(program) + "\"";
    }
    for (const std::string& arg : args) {
        parameters += (parameters.empty() ? "\"" : " \"") + (arg == "-" ? file : arg) + "\"";
    }
    SHELLEXECUTEINFOA run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    run.hwnd = GetActiveWindow();
    run.lpVerb = "runas";
    run.lpFile = testing ? standIn : program;
    run.lpParameters = parameters.c_str();
    run.nShow = SW_HIDE;
    ElevatedRun result;
    if (!stored) {
        result = {ElevatedRun::Outcome::kUnavailable, 0,
                  "the settings could not be written to " + std::string(file)};
    } else if (!ShellExecuteExA(&run)) {
        const DWORD error = GetLastError();
        result = error == ERROR_CANCELLED
                     ? ElevatedRun{ElevatedRun::Outcome::kDismissed, 0, {}}
                     : ElevatedRun{ElevatedRun::Outcome::kUnavailable, 0,
                                   "the program could not be started with administrator rights "
                                   "(error " +
                                       std::to_string(error) + ")"};
    } else {
        WaitForSingleObject(run.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(run.hProcess, &exitCode);
        CloseHandle(run.hProcess);
        result = {ElevatedRun::Outcome::kExited, static_cast<int>(exitCode), {}};
    }
    DeleteFileA(file);
    return result;
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

}  // namespace tavirap
