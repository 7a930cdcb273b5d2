// The configuration form as a real Qt dialog built from template 102: the
// field exchange both ways, its checks, and the keyboard.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialog/PortSetupExchange.h"
#include "dialog/PortSetupForm.h"
#include "framework/qt/QtBackend.h"
#include "framework/qt/QtControls.h"
#include "tests/dialog/FormCases.h"
#include "tests/framework/QtTestSupport.h"

namespace tavirap {
namespace {

// The form bound to a record; commands are counted by control id.
class FormDialog : public CDialog {
public:
    FormDialog() : CDialog(PortSetupTemplate()) {}

    PortSettings s;
    int transfersIn = 0;
    std::map<std::pair<UINT, int>, int> commands;

    QDialog* Window() const { return QtDialogOf(*this); }
    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(QtControlOf(*this, id)); }
    QComboBox* Combo(int id) const { return qobject_cast<QComboBox*>(QtControlOf(*this, id)); }
    int Count(UINT code, int id) const {
        const auto it = commands.find({code, id});
        return it == commands.end() ? 0 : it->second;
    }

protected:
    void DoDataExchange(CDataExchange& dx) override {
        transfersIn += dx.m_bSaveAndValidate ? 1 : 0;
        ExchangeFields(dx, s);
    }
    void OnSave() { ++commands[{BN_CLICKED, IDC_SAVE}]; }
    void OnExit() {
        ++commands[{BN_CLICKED, IDC_EXIT}];
        DestroyWindow();
    }
    void OnTotal() { ++commands[{CBN_SELCHANGE, IDC_TOTAL_PORTS}]; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FormDialog, CDialog)
ON_BN_CLICKED(IDC_SAVE, &FormDialog::OnSave)
ON_BN_CLICKED(IDC_EXIT, &FormDialog::OnExit)
ON_CBN_SELCHANGE(IDC_TOTAL_PORTS, &FormDialog::OnTotal)
END_MESSAGE_MAP()

class PortSetupDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDefaults(dialog.s);
        ASSERT_TRUE(dialog.Create());
    }
    FormDialog dialog;
};

TEST_F(PortSetupDialog, ListsAreFilledAndTheRecordShown) {
    EXPECT_EQ(dialog.Combo(1001)->count(), 9);
    EXPECT_EQ(dialog.Combo(1012)->itemText(9), "64");
    EXPECT_EQ(dialog.Combo(1060)->itemText(1), "None");
    EXPECT_EQ(dialog.Edit(1026)->text(), "8");
    EXPECT_EQ(dialog.Combo(1012)->currentText(), "8");
    EXPECT_EQ(dialog.Combo(1006)->currentText(), "No Parity");
}

TEST_F(PortSetupDialog, RecordToFormAndBack) {
    const PortSettings other = test::OtherSettings();
    dialog.s = other;
    dialog.UpdateData(false);
    for (int row = 0; row < kRowsPerPage; ++row) {
        EXPECT_EQ(dialog.Edit(kRowAddressIds[row])->text(), QString::number(10 + row));
        auto* label = qobject_cast<QLabel*>(QtControlOf(dialog, kRowLabelIds[row]));
        EXPECT_EQ(label->text(), QString("SERIAL%1").arg(9 + row));
    }
    const std::pair<int, const char*> shown[] = {
        {1003, "38400"}, {1009, "7"},           {1012, "24"},  {1008, "2"},
        {1001, "COM4"},  {1006, "Even Parity"}, {1060, "None"}};
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(dialog.Combo(id)->currentText(), text) << id;
        EXPECT_NE(dialog.Combo(id)->currentIndex(), -1) << id;
    }

    ResetDefaults(dialog.s);
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(test::FieldsInOrder(dialog.s), test::FieldsInOrder(other));
}

TEST_F(PortSetupDialog, TypedValuesComeIn) {
    dialog.Edit(1019)->setText("64");
    dialog.Combo(1003)->setEditText("1234");
    dialog.Combo(1008)->setEditText("1.5 or so");  // long, but only "1.5" style checks apply
    dialog.Combo(1008)->setEditText("9");
    dialog.Combo(1012)->setCurrentIndex(9);
    dialog.Combo(1006)->setEditText("Mark");
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.s.rowAddress[2], 64);
    EXPECT_EQ(dialog.s.baudRate, "1234");
    EXPECT_EQ(dialog.s.stopBits, "9");
    EXPECT_EQ(dialog.s.totalIndex, 9);
    EXPECT_EQ(dialog.s.parity, "Mark");
}

TEST_F(PortSetupDialog, EachCheckFailsAtItsPlace) {
    const PortSettings old;
    const PortSettings other = test::OtherSettings();
    for (const test::FailureCase& c : test::kFailureCases) {
        SCOPED_TRACE(c.name);
        dialog.s = other;
        dialog.UpdateData(false);
        if (QLineEdit* edit = dialog.Edit(c.control)) {
            edit->setText(c.text);
        } else {
            dialog.Combo(c.control)->setEditText(c.text);
        }
        dialog.s = old;

        test::MessageBoxWatcher boxes;
        EXPECT_FALSE(dialog.UpdateData(true));

        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, QCoreApplication::applicationName());
        EXPECT_EQ(boxes.shown()[0].text, c.message);
        EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Warning);
        EXPECT_EQ(boxes.shown()[0].buttons, QMessageBox::Ok);

        EXPECT_EQ(test::FieldsInOrder(dialog.s), test::FieldsAfterFailure(c, other, old));

        QWidget* failing = QtControlOf(dialog, c.control);
        QWidget* focus = dialog.Window()->focusWidget();
        EXPECT_TRUE(focus == failing || failing->isAncestorOf(focus));
        if (QLineEdit* edit = dialog.Edit(c.control)) {
            EXPECT_EQ(edit->selectedText(), edit->text());
        }
    }
}

TEST_F(PortSetupDialog, ChoosingByPrefixWhenShown) {
    for (const test::PrefixCase& c : test::kPrefixCases) {
        SCOPED_TRACE(c.shown);
        dialog.s.*c.field = c.shown;
        dialog.UpdateData(false);
        EXPECT_EQ(dialog.Combo(c.control)->currentIndex(), c.index);
        ASSERT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.s.*c.field, c.readBack);
    }
}

TEST_F(PortSetupDialog, AnIndexOutsideTheListChoosesNothing) {
    for (std::int32_t index : {13, -1, 10, -7}) {
        dialog.s.totalIndex = index;
        dialog.UpdateData(false);
        EXPECT_EQ(dialog.Combo(1012)->currentIndex(), -1);
        ASSERT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.s.totalIndex, -1);
    }
}

TEST_F(PortSetupDialog, TypingIsFiltered) {
    for (const test::TypingCase& c : test::kTypingCases) {
        SCOPED_TRACE(c.typed);
        QLineEdit* edit =
            dialog.Edit(c.control) ? dialog.Edit(c.control) : dialog.Combo(c.control)->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(edit->text(), c.shown);
    }
}

TEST_F(PortSetupDialog, TypingStopsAtTheVisibleWidth) {
    for (int id : {1015, 1009, 1003}) {
        SCOPED_TRACE(id);
        QLineEdit* edit = dialog.Edit(id) ? dialog.Edit(id) : dialog.Combo(id)->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString(40, '8'));
        const QString kept = edit->text();
        EXPECT_GE(kept.size(), 3);
        EXPECT_LT(kept.size(), 40);
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(kept), edit->contentsRect().width());
        EXPECT_EQ(edit->cursorPosition(), kept.size());
    }
}

TEST_F(PortSetupDialog, TextsFromCodeAreShownWholeAndCanBeShortened) {
    dialog.s.rowAddress[0] = -2147483647;
    dialog.s.parity = "A parity text of thirty bytes";
    dialog.UpdateData(false);
    QLineEdit* address = dialog.Edit(1015);
    EXPECT_EQ(address->text(), "-2147483647");
    address->setCursorPosition(address->text().size());
    QTest::keyClicks(address, "5");
    EXPECT_EQ(address->text(), "-2147483647");  // no room for more
    QTest::keyClick(address, Qt::Key_Backspace);
    EXPECT_EQ(address->text(), "-214748364");
    EXPECT_EQ(dialog.Combo(1006)->currentText(), "A parity text of thirty bytes");
}

TEST_F(PortSetupDialog, EnterPressesTheDefaultButtonOrTheFocusedOne) {
    QComboBox* port = dialog.Combo(1001);
    port->lineEdit()->clear();
    QTest::keyClicks(port, "COM5X");
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_SAVE), 1);
    EXPECT_EQ(port->count(), 9);  // nothing added to the list
    EXPECT_EQ(port->currentText(), "COM5X");

    QTest::keyClick(dialog.Edit(1023), Qt::Key_Enter);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_SAVE), 2);

    QTest::keyClick(QtControlOf(dialog, IDC_EXIT), Qt::Key_Return);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_EXIT), 1);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_SAVE), 2);
}

TEST_F(PortSetupDialog, OnlyTheUsersChoiceOfTotalIsACommand) {
    QComboBox* total = dialog.Combo(1012);
    dialog.s.totalIndex = 7;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 0);
    QTest::keyClick(total, Qt::Key_Down);
    QTest::keyClick(total, Qt::Key_Down);
    QTest::keyClick(total, Qt::Key_Down);  // past the end: no step
    EXPECT_EQ(total->currentIndex(), 9);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 2);
    QTest::keyClick(total, Qt::Key_Up);
    EXPECT_EQ(total->currentIndex(), 8);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 3);
    dialog.s.totalIndex = 0;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 3);
}

TEST_F(PortSetupDialog, TabOrderIsCreationOrder) {
    std::vector<int> order;
    QWidget* start = QtControlOf(dialog, IDC_SAVE);
    QWidget* w = start;
    do {
        for (const DialogControl& c : PortSetupTemplate().controls) {
            if (c.id != -1 && QtControlOf(dialog, c.id) == w) {
                order.push_back(c.id);
            }
        }
        do {
            w = w->nextInFocusChain();
        } while (w != start && !(w->focusPolicy() & Qt::TabFocus));
    } while (w != start && order.size() < 40);
    EXPECT_EQ(order, (std::vector<int>{1034, 1035, 1001, 1003, 1006, 1008, 1009, 1012, 1015, 1017,
                                       1019, 1021, 1023, 1024, 1025, 1026, 1036, 1037, 1060}));
}

TEST_F(PortSetupDialog, GeometryFromDialogUnits) {
    QDialog* window = dialog.Window();
    const DialogBaseUnits base = dialog.GetDialogWindow()->BaseUnits();
    EXPECT_GE(base.x, 5);
    EXPECT_LE(base.x, 8);
    EXPECT_EQ(window->size(), QSize(MulDiv(298, base.x, 4), MulDiv(288, base.y, 8)));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(window->frameGeometry().center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(window->frameGeometry().center().y() - area.center().y()), 1);
    EXPECT_EQ(window->windowTitle(), "TAVIRAP");
    EXPECT_FALSE(window->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    const PixelRect save = MapDialogRect({157, 265, 50, 14}, base);
    EXPECT_EQ(QtControlOf(dialog, IDC_SAVE)->geometry(),
              QRect(save.x, save.y, save.width, save.height));
    // Frames never cover the controls inside them for the mouse.
    for (int id : {1001, 1012, 1015, 1036}) {
        QWidget* control = QtControlOf(dialog, id);
        QWidget* hit = window->childAt(control->geometry().center());
        EXPECT_TRUE(hit == control || control->isAncestorOf(hit)) << id;
    }
}

TEST_F(PortSetupDialog, DroppedListHeights) {
    const DialogBaseUnits base = dialog.GetDialogWindow()->BaseUnits();
    for (const DialogControl& c : PortSetupTemplate().controls) {
        if (c.kind != ControlKind::ComboBox) {
            continue;
        }
        SCOPED_TRACE(c.id);
        QComboBox* combo = dialog.Combo(c.id);
        combo->showPopup();
        QWidget* popup = combo->view()->window();
        const int list = DialogUnitsToPixelsY(c.rect.cy, base) - combo->height();
        if (c.style & CBS_NOINTEGRALHEIGHT) {
            EXPECT_EQ(popup->height(), list);
        } else {
            const int row = combo->view()->sizeHintForRow(0);
            const int frame = popup->height() - combo->view()->viewport()->height();
            EXPECT_LE(popup->height(), list);
            EXPECT_EQ((popup->height() - frame) % row, 0);
            EXPECT_GT(popup->height() + row, list);
        }
        combo->hidePopup();
    }
}

TEST_F(PortSetupDialog, FieldsAreNamedAfterTheirLabels) {
    EXPECT_EQ(dialog.Edit(1015)->accessibleName(), "SERIAL1 address");
    EXPECT_EQ(dialog.Combo(1006)->accessibleName(), "PARITY");
    EXPECT_EQ(dialog.Combo(1001)->accessibleName(), "MAIN COM");
    EXPECT_EQ(dialog.Combo(1012)->accessibleName(), "Total Virtual Ports");
    dialog.s.rowLabel[7] = "SERIAL64";
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.Edit(1026)->accessibleName(), "SERIAL64 address");
}

TEST(PortSetupModal, EscEndsTheRunWithoutATransfer) {
    FormDialog dialog;
    QTimer::singleShot(0, [&dialog] {
        dialog.Edit(1015)->setText("33");
        QTest::keyClick(dialog.Edit(1015), Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.transfersIn, 0);
    EXPECT_EQ(dialog.s.rowAddress[0], 0);
    EXPECT_EQ(dialog.GetDialogWindow(), nullptr);
}

TEST(PortSetupModal, TheCloseBoxCancelsAndExitDestroys) {
    FormDialog closed;
    QTimer::singleShot(0, [&closed] { closed.Window()->close(); });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);

    FormDialog exited;
    QTimer::singleShot(
        0, [&exited] { qobject_cast<QPushButton*>(QtControlOf(exited, IDC_EXIT))->click(); });
    EXPECT_EQ(exited.DoModal(), -1);
    EXPECT_EQ(exited.Count(BN_CLICKED, IDC_EXIT), 1);
    EXPECT_EQ(exited.transfersIn, 0);
}

}  // namespace
}  // namespace tavirap
