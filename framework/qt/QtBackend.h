// The Qt 6 Widgets backend of the dialog framework.
#pragma once

#include <QString>
#include <deque>

#include <QIcon>

#include "framework/Afx.h"

class QDialog;
class QWidget;

namespace tavirap {

// Builds dialogs as QDialogs. Create it after the QApplication; it makes
// itself the process's backend for its lifetime.
class QtWindowBackend : public WindowBackend {
public:
    QtWindowBackend();
    ~QtWindowBackend() override;

    std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& dialog,
                                                     CWnd& owner) override;
    int ShowMessage(DialogWindow* owner, std::string_view text, std::string_view caption,
                    UINT type) override;
    // Icon n is every image in the Qt resource folder ":/icons/n".
    IconHandle LoadIconResource(int resourceId) override;
    int GetSystemMetrics(int index) const override;
    std::string ProgramName() const override;
    // There is no help viewer on this platform and the program has no help
    // file: nothing is shown.
    bool ShowHelp(std::uint32_t context) override;
    int RunMessageLoop() override;

    static const QIcon& IconOf(IconHandle icon);

private:
    std::deque<QIcon> icons_;
};

// The program's entry on Qt: creates the QApplication and the backend and
// runs the application object (InitInstance; a message loop only when it
// returns true). Returns the exit code, 0 when InitInstance returns false; an
// error that escapes is shown in a message box and gives 1 (AfxWinMain).
int TavirapMain(int argc, char** argv);

// The family that stands in for a template's font where the machine lacks it.
QString StandInFontFamily(const QString& templateFamily);

// The widgets of a window built by this backend (tests, tools): the dialog,
// and a control by its id (null when there is none).
QDialog* QtDialogOf(const CWnd& wnd);
QWidget* QtControlOf(const CWnd& wnd, int id);

}  // namespace tavirap
