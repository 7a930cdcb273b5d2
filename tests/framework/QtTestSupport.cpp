// The user's hands on Qt dialogs: real key and mouse events through QTest,
// message boxes answered from a timer while they show.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "framework/qt/QtBackend.h"
#include "tests/framework/UiDriver.h"

namespace tavirap::test {
namespace {

class QtUiDriver : public UiDriver {
public:
    explicit QtUiDriver(CDialog& dialog) : dialog_(dialog) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { AnswerBoxes(); });
        timer_.start(5);
    }

    void Open() override {
        dialog_.Create();
        QDialog* window = QtDialogOf(dialog_);
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
    }
    bool IsOpen() const override {
        QDialog* window = QtDialogOf(dialog_);
        return window != nullptr && window->isVisible();
    }

    void Click(int id) override {
        QTest::mouseClick(Control(id), Qt::LeftButton);
        QApplication::processEvents();
    }
    void Type(int id, const std::string& text) override {
        QWidget* field = Focus(id);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // select all
        QTest::keyClicks(field, QString::fromStdString(text));
        QApplication::processEvents();
    }
    void Press(int id, Key key) override {
        const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down};
        QTest::keyClick(Focus(id), keys[static_cast<int>(key)]);
        QApplication::processEvents();
    }
    void Choose(int id, int index) override {
        auto* combo = qobject_cast<QComboBox*>(Control(id));
        ASSERT_NE(combo, nullptr);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex entry = combo->model()->index(index, 0);
        view->scrollTo(entry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
        EXPECT_TRUE(WaitFor([&] { return !view->isVisible() && combo->currentIndex() == index; }));
    }
    void CloseBox() override {
        QtDialogOf(dialog_)->close();
        QApplication::processEvents();
    }

    std::string Text(int id) const override {
        QWidget* control = Control(id);
        const char* text = qobject_cast<QComboBox*>(control) ? "currentText" : "text";
        return control->property(text).toString().toStdString();
    }
    int FocusedId() const override {
        QWidget* focus = QtDialogOf(dialog_)->focusWidget();
        for (const DialogControl& control : dialog_.GetTemplate().controls) {
            QWidget* widget = QtControlOf(dialog_, control.id);
            if (widget != nullptr && focus != nullptr &&
                (widget == focus || widget->isAncestorOf(focus))) {
                return control.id;
            }
        }
        return -1;
    }
    const std::vector<Box>& Boxes() const override { return boxes_; }
    bool WaitFor(const std::function<bool()>& done) override { return QTest::qWaitFor(done, 5000); }

private:
    QWidget* Control(int id) const {
        QWidget* control = QtControlOf(dialog_, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    // Focuses the control; returns the widget that takes the keys: an
    // editable combo box's edit field, or the control.
    QWidget* Focus(int id) {
        auto* combo = qobject_cast<QComboBox*>(Control(id));
        QWidget* edit = combo != nullptr ? combo->lineEdit() : nullptr;
        QWidget* target = edit != nullptr ? edit : Control(id);
        target->setFocus(Qt::MouseFocusReason);
        return target;
    }

    void AnswerBoxes() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible()) {
                continue;
            }
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            boxes_.push_back(
                {box->text().toStdString(),
                 box->icon() == QMessageBox::Warning && ok != nullptr && box->buttons().size() == 1,
                 IsOpen()});
            const QMessageBox::StandardButton buttons[] = {QMessageBox::Yes, QMessageBox::No,
                                                           QMessageBox::Cancel};
            if (ok != nullptr) {
                ok->click();
            } else if (answer_ == Answer::Escape || answer_ == Answer::Enter) {
                QTest::keyClick(box, answer_ == Answer::Escape ? Qt::Key_Escape : Qt::Key_Return);
            } else {
                box->button(buttons[static_cast<int>(answer_)])->click();
            }
        }
    }

    CDialog& dialog_;
    QTimer timer_;
    std::vector<Box> boxes_;
};

}  // namespace

std::unique_ptr<UiDriver> MakeUiDriver(CDialog& dialog) {
    return std::make_unique<QtUiDriver>(dialog);
}

}  // namespace tavirap::test
