// What the dialog framework asks of a window toolkit. CWnd and CDialog hold
// every rule that is not the toolkit's (field exchange, message maps, init
// data, dialog units); a backend only builds windows from a DialogTemplate,
// reads and writes controls, and hands the user's commands back through
// CWnd::WindowProc.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/DialogTemplate.h"
#include "framework/DialogUnits.h"
#include "framework/WinTypes.h"

namespace tavirap {

class CWnd;

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The device context of one paint message.
class DeviceContext {
public:
    virtual ~DeviceContext() = default;
    virtual void EraseIconBackground() = 0;
    virtual void DrawIcon(int x, int y, IconHandle icon) = 0;
};

// One window built from a template. Controls are addressed by their ids.
class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    virtual DialogBaseUnits BaseUnits() const = 0;
    virtual void CenterOnScreen() = 0;
    virtual void MoveTo(int x, int y) = 0;  // pixels on the screen
    virtual void Show() = 0;
    // Shows the window and runs until EndModal; returns EndModal's result.
    virtual int RunModal() = 0;
    // Ends the modal run, or hides a window that is not running modally.
    virtual void EndModal(int result) = 0;

    virtual void SetIcon(IconHandle icon, bool big) = 0;
    virtual bool IsIconic() const = 0;
    virtual CRect ClientRect() const = 0;
    // Valid only while a paint message is being delivered.
    virtual std::unique_ptr<DeviceContext> BeginPaint() = 0;
    // The toolkit's own handling of the message being delivered.
    virtual void DefaultProcessing() = 0;

    // Window text of a control (an edit's or combo's edit field, a static's,
    // a button's); for a combo without edit field, the chosen entry's text.
    virtual std::string GetText(int id) const = 0;
    virtual void SetText(int id, std::string_view text) = 0;
    virtual int ComboAddString(int id, std::string_view text) = 0;
    // Chooses the first entry from the top that begins with `prefix`,
    // ignoring case, so that an empty prefix chooses the first entry; returns
    // its index, or kComboNone leaving the choice as it was.
    int ComboSelectString(int id, std::string_view prefix);
    virtual int ComboGetCurSel(int id) const = 0;
    // An index outside the list leaves no entry chosen.
    void ComboSetCurSel(int id, int index);
    virtual void FocusControl(int id, bool selectText) = 0;
    // Marks a button whose command asks for administrator rights (Windows'
    // shield), and says so in its tooltip.
    virtual void MarkNeedsRights(int id, std::string_view tooltip) = 0;
    // Delivers wm::kCommand with this id once the events already waiting (the
    // window's showing among them) are handled.
    virtual void PostCommand(int id) = 0;

protected:
    // The toolkit's side of the combo box rules above: the entries, and
    // choosing one (index -1: none).
    virtual int ComboCount(int id) const = 0;
    virtual std::string ComboEntry(int id, int index) const = 0;
    virtual void ComboChoose(int id, int index) = 0;
};

// How a run of this program with administrator rights ended.
struct ElevatedRun {
    enum class Outcome {
        kExited,         // it ran: exitCode says how it ended
        kDismissed,      // the user dismissed the request for rights
        kNotAuthorised,  // the rights were refused
        kUnavailable,    // rights cannot be asked for here: why says why
    };
    Outcome outcome = Outcome::kUnavailable;
    int exitCode = 0;
    std::string why;  // its errors, or why it could not run, where they can be seen
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // Builds the window hidden; commands go to owner.WindowProc.
    virtual std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& dialog,
                                                             CWnd& owner) = 0;
    // Shows a modal message box over `owner` (or the active window when
    // null); returns the id of the button pressed (cmd::kOk, cmd::kCancel ...).
    virtual int ShowMessage(DialogWindow* owner, std::string_view text, std::string_view caption,
                            UINT type) = 0;
    virtual IconHandle LoadIconResource(int resourceId) = 0;
    virtual int GetSystemMetrics(int index) const = 0;
    // The program file's name without folder and extension.
    virtual std::string ProgramName() const = 0;
    // Asks the platform's help viewer for a topic; false when there is none.
    virtual bool ShowHelp(std::uint32_t context) = 0;
    // Runs the application's message loop until the program quits.
    virtual int RunMessageLoop() = 0;
};

// Runs the program's one job that needs administrator rights and waits for
// it: on Linux pkexec (the polkit action names the program), on Windows the
// UAC prompt. The dialog is given one as it is given its store, so that tests
// give it a fake.
class Elevation {
public:
    virtual ~Elevation() = default;
    // `args` follow the program's leading arguments; `input` is its standard
    // input, or where a program started with rights gets none (Windows), its
    // lines follow as arguments: no file that anyone could swap is read.
    virtual ElevatedRun Run(const std::vector<std::string>& args, const std::string& input) = 0;
    // Whether this system has a way to ask for rights at all (Linux: pkexec is
    // installed); whether anyone answers shows only when asked.
    virtual bool CanAsk() const = 0;
};

// The platform's elevation of `program` with its leading arguments: on Linux
// the program's full path, on Windows a program beside this one.
std::unique_ptr<Elevation> MakeElevation(std::string program, std::vector<std::string> leading);

// The process's backend; set by the backend's entry point (or by a test).
WindowBackend& AfxGetBackend();
void AfxSetBackend(WindowBackend* backend);

// StartsWith ignoring ASCII case, as combo boxes match their entries.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace tavirap
