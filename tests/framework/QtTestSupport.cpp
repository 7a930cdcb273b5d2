// The user's hands on Qt dialogs: real key and mouse events through QTest,
// message boxes answered from a timer while they show.
#include "tests/framework/QtTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <map>

#include "framework/qt/QtBackend.h"
#include "tests/framework/UiDriver.h"

namespace tavirap::test {
namespace {

struct IconType {
    QMessageBox::Icon icon;
    UINT type;
};
const IconType kIcons[] = {{QMessageBox::Critical, MB_ICONHAND},
                           {QMessageBox::Question, MB_ICONQUESTION},
                           {QMessageBox::Warning, MB_ICONEXCLAMATION},
                           {QMessageBox::Information, MB_ICONASTERISK}};

// In the order Windows places them, left to right.
struct ButtonId {
    QMessageBox::StandardButton button;
    int id;
};
const ButtonId kButtons[] = {{QMessageBox::Ok, IDOK},        {QMessageBox::Yes, IDYES},
                             {QMessageBox::No, IDNO},        {QMessageBox::Abort, IDABORT},
                             {QMessageBox::Retry, IDRETRY},  {QMessageBox::Ignore, IDIGNORE},
                             {QMessageBox::Cancel, IDCANCEL}};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class QtUiDriver : public UiDriver {
public:
    QtUiDriver(CDialog& dialog, int answer) : dialog_(dialog), answer_(answer) {
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
    INT_PTR RunModal(const std::function<void()>& whileOpen) override {
        QTimer::singleShot(0, whileOpen);
        return dialog_.DoModal();
    }

    void Click(int id) override {
        QTest::mouseClick(Control(id), Qt::LeftButton);
        Settle();
    }
    void Type(int id, const std::string& text) override {
        QWidget* field = Focus(id);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // select all
        QTest::keyClicks(field, Q(text));
        Settle();
    }
    void Press(int id, Key key) override {
        static const std::map<Key, Qt::Key> kKeys = {{Key::Enter, Qt::Key_Return},
                                                     {Key::Escape, Qt::Key_Escape},
                                                     {Key::Up, Qt::Key_Up},
                                                     {Key::Down, Qt::Key_Down},
                                                     {Key::F1, Qt::Key_F1}};
        QTest::keyClick(Focus(id), kKeys.at(key));
        Settle();
    }
    void Choose(int id, int index) override {
        QComboBox* combo = Combo(id);
        ASSERT_NE(combo, nullptr);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex entry = combo->model()->index(index, 0);
        view->scrollTo(entry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
        Settle();
        ASSERT_EQ(combo->currentIndex(), index);
    }
    void CloseBox() override {
        QtDialogOf(dialog_)->close();
        Settle();
    }

    void SetText(int id, const std::string& text) override {
        if (QLineEdit* edit = Edit(id)) {
            edit->setText(Q(text));
        }
    }
    void Select(int id, int index) override { Combo(id)->setCurrentIndex(index); }

    std::string Text(int id) const override {
        QWidget* control = Control(id);
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            return combo->currentText().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            return label->text().toStdString();
        }
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            return button->text().toStdString();
        }
        return Edit(id)->text().toStdString();
    }
    int Selection(int id) const override { return Combo(id)->currentIndex(); }
    std::vector<std::string> Entries(int id) const override {
        std::vector<std::string> entries;
        for (int i = 0; i < Combo(id)->count(); ++i) {
            entries.push_back(Combo(id)->itemText(i).toStdString());
        }
        return entries;
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
    bool TextSelected(int id) const override {
        QLineEdit* edit = Edit(id);
        return edit != nullptr && edit->selectedText() == edit->text();
    }
    bool TextFits(int id) const override {
        QLineEdit* edit = Edit(id);
        return edit->fontMetrics().horizontalAdvance(edit->text()) <=
                   edit->contentsRect().width() &&
               edit->cursorPosition() == edit->text().size();
    }
    std::vector<int> TabOrder() const override {
        std::vector<int> order;
        QWidget* start = nullptr;
        for (const DialogControl& c : dialog_.GetTemplate().controls) {
            if (start == nullptr && (c.style & WS_TABSTOP)) {
                start = QtControlOf(dialog_, c.id);
            }
        }
        QWidget* w = start;
        do {
            for (const DialogControl& c : dialog_.GetTemplate().controls) {
                if (c.id != -1 && QtControlOf(dialog_, c.id) == w) {
                    order.push_back(c.id);
                }
            }
            do {
                w = w->nextInFocusChain();
            } while (w != start && !(w->focusPolicy() & Qt::TabFocus));
        } while (w != start && order.size() < 100);
        return order;
    }
    const std::vector<Box>& Boxes() const override { return boxes_; }

private:
    QWidget* Control(int id) const {
        QWidget* control = QtControlOf(dialog_, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    QComboBox* Combo(int id) const { return qobject_cast<QComboBox*>(Control(id)); }
    // The edit field of a control: itself, or an editable combo box's.
    QLineEdit* Edit(int id) const {
        QComboBox* combo = Combo(id);
        return combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(Control(id));
    }
    // Focuses the control; returns the widget that takes the keys.
    QWidget* Focus(int id) {
        QWidget* target = Edit(id) != nullptr ? Edit(id) : Control(id);
        target->setFocus(Qt::MouseFocusReason);
        return target;
    }
    // Lets queued events run.
    static void Settle() { QTest::qWait(30); }

    void AnswerBoxes() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible()) {
                continue;
            }
            Box shown{box->windowTitle().toStdString(),
                      box->text().toStdString(),
                      0,
                      {},
                      box->parentWidget() != nullptr && box->parentWidget() == QtDialogOf(dialog_)};
            for (const IconType& i : kIcons) {
                shown.icon = box->icon() == i.icon ? i.type : shown.icon;
            }
            QAbstractButton* answer = nullptr;
            for (const ButtonId& b : kButtons) {
                if (QAbstractButton* button = box->button(b.button)) {
                    shown.buttons.push_back(b.id);
                    answer = b.id == answer_ ? button : answer;
                }
            }
            boxes_.push_back(shown);
            if (answer != nullptr) {
                answer->click();
            } else {
                box->reject();
            }
        }
    }

    CDialog& dialog_;
    int answer_;
    QTimer timer_;
    std::vector<Box> boxes_;
};

}  // namespace

std::unique_ptr<UiDriver> MakeUiDriver(CDialog& dialog, int answer) {
    return std::make_unique<QtUiDriver>(dialog, answer);
}

}  // namespace tavirap::test
