// The application and dialog classes the program is built on, with MFC's
// names and shapes: CWinApp, CWnd, CDialog, message maps, CPaintDC.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Backend.h"
#include "framework/DialogTemplate.h"
#include "framework/WinTypes.h"

namespace tavirap {

class CCmdTarget;
class CDataExchange;

// A message map: entries searched in order, then the base class's map.
// An entry matches on message, notification code and control id (the last
// two only for wm::kCommand). Exactly one of the handler pointers is set.
using AFX_PMSG = void (CCmdTarget::*)();
using AFX_PMSG_ICON = IconHandle (CCmdTarget::*)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // 0 ends the table
    UINT nCode;
    UINT nID;
    AFX_PMSG pfn;
    AFX_PMSG_ICON pfnIcon;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Finds the first entry for the message in the map and its bases.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                            UINT id);

// In the class: DECLARE_MESSAGE_MAP() (no semicolon). In its .cpp:
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(IDC_SAVE, &CMyDlg::OnSave)
//   END_MESSAGE_MAP()
#define DECLARE_MESSAGE_MAP()                                \
protected:                                                   \
    static const ::tavirap::AFX_MSGMAP* GetThisMessageMap(); \
    const ::tavirap::AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                     \
    const ::tavirap::AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                                \
    }                                                              \
    const ::tavirap::AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;               \
        using TheBaseClass = baseClass;                            \
        static const ::tavirap::AFX_MSGMAP_ENTRY kEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
    { 0, 0, 0, nullptr, nullptr }                                                               \
    }                                                                                           \
    ;                                                                                           \
    static const ::tavirap::AFX_MSGMAP kMap = {&TheBaseClass::GetThisMessageMap, &kEntries[0]}; \
    return &kMap;                                                                               \
    }

#define ON_COMMAND(id, memberFxn)                                                            \
    {::tavirap::wm::kCommand, ::tavirap::notify::kCommand, static_cast<::tavirap::UINT>(id), \
     static_cast<::tavirap::AFX_PMSG>(memberFxn), nullptr},
#define ON_CONTROL(code, id, memberFxn)                           \
    {::tavirap::wm::kCommand, static_cast<::tavirap::UINT>(code), \
     static_cast<::tavirap::UINT>(id), static_cast<::tavirap::AFX_PMSG>(memberFxn), nullptr},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(::tavirap::notify::kClicked, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(::tavirap::notify::kSelChange, id, memberFxn)
#define ON_WM_PAINT() \
    {::tavirap::wm::kPaint, 0, 0, static_cast<::tavirap::AFX_PMSG>(&ThisClass::OnPaint), nullptr},
#define ON_WM_QUERYDRAGICON()                      \
    {::tavirap::wm::kQueryDragIcon, 0, 0, nullptr, \
     static_cast<::tavirap::AFX_PMSG_ICON>(&ThisClass::OnQueryDragIcon)},

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Runs the handler of a command (wm::kCommand with this code and id) from
    // this object's map chain; false when no entry takes it.
    virtual bool OnCmdMsg(UINT id, UINT code);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    // Every message a backend delivers comes in here: the map chain first,
    // then the default handling.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Sends a message to this window: wm::kSetIcon and wm::kIconEraseBkgnd are
    // carried out, anything else goes through WindowProc.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Transfers between the record and the controls by DoDataExchange: false
    // when a check failed (the user has been told, the control has focus).
    bool UpdateData(bool saveAndValidate = true);

    bool DestroyWindow();
    IconHandle SetIcon(IconHandle icon, bool bigIcon);
    bool IsIconic() const;
    void GetClientRect(CRect* rect) const;
    int ShowMessage(std::string_view text, std::string_view caption = {}, UINT type = mb::kOk);
    // A command delivered after the events already waiting, such as the
    // window's showing: a notice then appears over the visible dialog.
    void PostCommand(UINT id);

    // The built window, or null before creation / after the modal run.
    DialogWindow* GetDialogWindow() const { return window_.get(); }

protected:
    virtual void DoDataExchange(CDataExchange& dx);
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // The default handling of the message being delivered.
    LRESULT Default();

    std::unique_ptr<DialogWindow> window_;

private:
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    CurrentMessage current_;
    IconHandle icons_[2] = {nullptr, nullptr};  // small, big
};

class CDialog : public CWnd {
public:
    explicit CDialog(const DialogTemplate& dialog, CWnd* parent = nullptr);

    // Creates the window, runs OnInitDialog, centres it when the template
    // asks for 0, 0, and runs it modally; returns EndDialog's result, or -1
    // when the window was destroyed.
    virtual INT_PTR DoModal();
    // The same without the modal run: the window stays open (tests, tools).
    bool Create();
    void EndDialog(int result);

    virtual bool OnInitDialog();
    const DialogTemplate& GetTemplate() const { return template_; }

protected:
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

    void CreateWindowFromTemplate();

    const DialogTemplate& template_;
    CWnd* parent_;
};

class CWinApp : public CCmdTarget {
public:
    // The one application object, in static storage; AfxGetApp finds it.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // A run that needs no window, such as a command line for scripts: true
    // with its exit code, or false to go on to InitInstance. The backends ask
    // before they touch the window system, so it needs no display.
    virtual bool RunWithoutWindow(const std::vector<std::string>& args, int& exitCode);
    virtual bool InitInstance();
    // The message loop, for an InitInstance that returns true.
    virtual int Run();

    IconHandle LoadIconResource(int resourceId) const;

    CWnd* mainWnd = nullptr;
    std::string appName;  // message-box titles; the program's name when not given

    // The help command: asks the platform's help viewer for the contents.
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
// The title of the framework's message boxes: the application's name.
std::string AfxGetAppName();
// Runs the application object: InitInstance, then the message loop when it
// returns true. Backends' entry points call it; returns the exit code. An
// error that escapes is shown in a message box and gives 1.
int AfxWinMain();
// Asks the application object whether the program's arguments make a run
// without a window; true with that run's exit code.
bool AfxRunWithoutWindow(int argc, char** argv, int& exitCode);

// The device context of the paint message being delivered.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    DeviceContext* GetSafeHdc() const { return dc_.get(); }
    void DrawIcon(int x, int y, IconHandle icon);

private:
    std::unique_ptr<DeviceContext> dc_;
};

int GetSystemMetrics(int index);

}  // namespace tavirap
