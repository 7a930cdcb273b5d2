#include <QApplication>
#include <QMessageBox>
#include <vector>

#include "framework/qt/QtDialogWindow.h"

namespace tavirap {

namespace {

struct MessageBoxIcon {
    UINT type;
    QMessageBox::Icon icon;
};
const MessageBoxIcon kMessageBoxIcons[] = {
    {mb::kIconHand, QMessageBox::Critical},
    {mb::kIconQuestion, QMessageBox::Question},
    {mb::kIconExclamation, QMessageBox::Warning},
    {mb::kIconAsterisk, QMessageBox::Information},
};

struct MessageBoxButtons {
    UINT type;
    QMessageBox::StandardButtons buttons;
};
const MessageBoxButtons kMessageBoxButtons[] = {
    {mb::kOk, QMessageBox::Ok},
    {mb::kOkCancel, QMessageBox::Ok | QMessageBox::Cancel},
    {mb::kAbortRetryIgnore, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore},
    {mb::kYesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
    {mb::kYesNo, QMessageBox::Yes | QMessageBox::No},
    {mb::kRetryCancel, QMessageBox::Retry | QMessageBox::Cancel},
};

struct MessageBoxResult {
    QMessageBox::StandardButton button;
    int id;
};
const MessageBoxResult kMessageBoxResults[] = {
    {QMessageBox::Ok, cmd::kOk},         {QMessageBox::Cancel, cmd::kCancel},
    {QMessageBox::Abort, cmd::kAbort},   {QMessageBox::Retry, cmd::kRetry},
    {QMessageBox::Ignore, cmd::kIgnore}, {QMessageBox::Yes, cmd::kYes},
    {QMessageBox::No, cmd::kNo},
};

}  // namespace

int QtWindowBackend::ShowMessage(DialogWindow* owner, std::string_view text,
                                 std::string_view caption, UINT type) {
    auto* window = dynamic_cast<QtDialogWindow*>(owner);
    QWidget* parent = window != nullptr ? window->Dialog() : QApplication::activeWindow();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    for (const MessageBoxIcon& i : kMessageBoxIcons) {
        if ((type & mb::kIconMask) == i.type) {
            icon = i.icon;
        }
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    for (const MessageBoxButtons& b : kMessageBoxButtons) {
        if ((type & mb::kTypeMask) == b.type) {
            buttons = b.buttons;
        }
    }
    QMessageBox box(icon, FromAnsi(caption), FromAnsi(text), buttons, parent);
    // A message may hold a command to copy (as Windows' boxes copy with Ctrl+C).
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The default button as Windows numbers it: the first, second or third
    // of the buttons in the order Windows places them.
    const QMessageBox::StandardButton order[] = {
        QMessageBox::Ok,    QMessageBox::Yes,    QMessageBox::No,    QMessageBox::Abort,
        QMessageBox::Retry, QMessageBox::Ignore, QMessageBox::Cancel};
    std::vector<QMessageBox::StandardButton> shown;
    for (const QMessageBox::StandardButton button : order) {
        if (buttons.testFlag(button)) {
            shown.push_back(button);
        }
    }
    if (const std::size_t index = (type & mb::kDefMask) >> 8; index < shown.size()) {
        box.setDefaultButton(shown[index]);
    }
    const int pressed = box.exec();
    for (const MessageBoxResult& r : kMessageBoxResults) {
        if (pressed == r.button) {
            return r.id;
        }
    }
    return cmd::kCancel;
}

}  // namespace tavirap
