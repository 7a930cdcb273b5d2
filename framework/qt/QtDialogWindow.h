// The Qt backend's window: a QDialog built from the dialog template, with
// its controls, for the backend's files alone.
#pragma once

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/qt/QtBackend.h"
#include "framework/qt/QtControls.h"

namespace tavirap {

inline QString FromAnsi(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToAnsi(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

inline constexpr int kIconSize = 32;  // sm::kCxIcon, sm::kCyIcon

class QtDialogWindow;

// The window; it hands Esc, the close box and F1 to the dialog's message maps.
class QtDialog : public QDialog {
public:
    QtDialog(CWnd& owner, QtDialogWindow& window, Qt::WindowFlags flags)
        : QDialog(nullptr, flags), owner_(owner), window_(window) {}

    void reject() override {
        owner_.WindowProc(wm::kCommand, MakeWParam(cmd::kCancel, notify::kClicked), 0);
    }
    void DefaultPaint(QPaintEvent* event) { QDialog::paintEvent(event); }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
            owner_.WindowProc(wm::kCommand, MakeWParam(cmd::kHelp, notify::kCommand), 0);
            return;
        }
        QDialog::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override;

private:
    CWnd& owner_;
    QtDialogWindow& window_;
};

class QtDialogWindow : public DialogWindow {
public:
    QtDialogWindow(const DialogTemplate& dialog, CWnd& owner);
    ~QtDialogWindow() override { delete dialog_; }

    DialogBaseUnits BaseUnits() const override { return base_; }
    void CenterOnScreen() override {
        dialog_->winId();  // the platform window knows its frame, where it can
        const QSize outer = dialog_->size().grownBy(dialog_->windowHandle()->frameMargins());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        dialog_->move(area.x() + (area.width() - outer.width()) / 2,
                      area.y() + (area.height() - outer.height()) / 2);
    }
    void MoveTo(int x, int y) override {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        dialog_->move(screen.x() + x, screen.y() + y);
    }
    void Show() override { dialog_->show(); }
    int RunModal() override { return dialog_->exec(); }
    void EndModal(int result) override { dialog_->done(result); }

    void SetIcon(IconHandle icon, bool big) override {
        icons_[big ? 1 : 0] = icon;
        dialog_->setWindowIcon(QtWindowBackend::IconOf(icons_[1] ? icons_[1] : icons_[0]));
    }
    bool IsIconic() const override { return dialog_->isMinimized(); }
    CRect ClientRect() const override { return {0, 0, dialog_->width(), dialog_->height()}; }
    std::unique_ptr<DeviceContext> BeginPaint() override;
    void DefaultProcessing() override {
        if (paint_ != nullptr) {
            dialog_->DefaultPaint(paint_);
        }
    }

    std::string GetText(int id) const override;
    void SetText(int id, std::string_view text) override;
    int ComboAddString(int id, std::string_view text) override;
    int ComboGetCurSel(int id) const override { return Combo(id)->currentIndex(); }
    void FocusControl(int id, bool selectText) override;
    // No shield on this platform: the tooltip says what the button will ask.
    void MarkNeedsRights(int id, std::string_view tooltip) override {
        if (QWidget* control = Control(id)) {
            control->setToolTip(FromAnsi(tooltip));
        }
    }
    void PostCommand(int id) override {
        QMetaObject::invokeMethod(
            dialog_,
            [&owner = owner_, id] { owner.WindowProc(wm::kCommand, MakeWParam(id, 0), 0); },
            Qt::QueuedConnection);
    }

    QDialog* Dialog() const { return dialog_; }
    // The control's widget, or null when the template has no such control.
    QWidget* Control(int id) const {
        const DialogControl* control = template_.FindControl(id);
        return control == nullptr ? nullptr : widgets_[IndexOf(id)];
    }

    QPaintEvent* paint_ = nullptr;

protected:
    int ComboCount(int id) const override { return Combo(id)->count(); }
    std::string ComboEntry(int id, int index) const override {
        return ToAnsi(Combo(id)->itemText(index));
    }
    void ComboChoose(int id, int index) override {
        TemplateComboBox* combo = Combo(id);
        FieldEdit::CodeChange change(combo->Field());
        combo->setCurrentIndex(index);
    }

private:
    QWidget* CreateControl(const DialogControl& control, CWnd& owner);
    std::size_t IndexOf(int id) const { return template_.IndexOf(id); }
    TemplateComboBox* Combo(int id) const;
    void NameFromLabels(std::size_t labelIndex);

    const DialogTemplate& template_;
    CWnd& owner_;
    QtDialog* dialog_;
    DialogBaseUnits base_;
    std::vector<QWidget*> widgets_;  // creation order
    std::array<IconHandle, 2> icons_{};
};

}  // namespace tavirap
