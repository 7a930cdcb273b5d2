// The Win32 backend of the dialog framework: real dialogs of user32 and
// comctl32, built from the DialogTemplate as an in-memory dialog template.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Afx.h"
#include "platform/win32/Win32Api.h"

namespace tavirap {

// Builds dialogs with CreateDialogIndirectParamA and runs them in a modal
// loop of its own. It makes itself the process's backend for its lifetime.
class Win32WindowBackend : public WindowBackend {
public:
    // Registers the common controls (comctl32 version 6 where the program's
    // manifest asks for it).
    Win32WindowBackend();
    ~Win32WindowBackend() override;

    std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& dialog,
                                                     CWnd& owner) override;
    int ShowMessage(DialogWindow* owner, std::string_view text, std::string_view caption,
                    UINT type) override;
    // Icon n of the program's own resources.
    IconHandle LoadIconResource(int resourceId) override;
    int GetSystemMetrics(int index) const override;
    std::string ProgramName() const override;
    // Windows no longer has a help viewer for programs' help files, and the
    // program has none: nothing is shown.
    bool ShowHelp(std::uint32_t context) override;
    int RunMessageLoop() override;
};

// The program's entry on Win32, for the GUI program and its console twin
// alike: a run without a window when the application object makes one of the
// arguments (the GUI program first connects the standard streams its caller
// gave it none of to the caller's console or to NUL); otherwise creates the
// backend and runs the application object (InitInstance; a message loop only
// when it returns true). Returns the exit code, 0 when InitInstance returns
// false; an error that escapes is shown in a message box and gives 1
// (AfxWinMain).
int TavirapWinMain(int argc, char** argv);

// The dialog template in memory: DLGTEMPLATE with the font (DS_SETFONT),
// then one DLGITEMTEMPLATE per control, DWORD-aligned, texts in UTF-16. The
// window's WS_VISIBLE is left out, so that it shows only when asked.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog);

// What the modal loop does with each message before it is dispatched: F1
// becomes the dialog's help command (as the class library's message filter
// makes it; Wine's TranslateMessage makes no WM_HELP of it), and the dialog
// manager takes its keys (Tab, Enter, Esc, arrows). True when the message
// was taken; otherwise the caller translates and dispatches it.
bool ProcessDialogMessage(HWND dialog, MSG& msg);

// The windows of a dialog built by this backend (tests, tools): the dialog,
// and a control by its id (null when there is none).
HWND Win32DialogOf(const CWnd& wnd);
HWND Win32ControlOf(const CWnd& wnd, int id);
// The name a dialog built by this backend gives a control for assistive
// technology (from the form's labels), whether or not a client has asked.
std::string Win32AccessibleName(const CWnd& wnd, int id);

}  // namespace tavirap
