// The configuration form as a real Qt dialog built from template 102: the
// shared form cases (FormCases.cpp) and what only Qt's widgets show.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "framework/qt/QtBackend.h"
#include "tests/dialog/FormCases.h"
#include "tests/framework/QtTestSupport.h"

namespace tavirap::test {
namespace {

QLineEdit* Edit(const CDialog& dialog, int id) {
    return qobject_cast<QLineEdit*>(QtControlOf(dialog, id));
}
QComboBox* Combo(const CDialog& dialog, int id) {
    return qobject_cast<QComboBox*>(QtControlOf(dialog, id));
}

TEST_F(Form, TextsFromCodeAreShownWholeAndCanBeShortened) {
    dialog.s.rowAddress[0] = -2147483647;
    dialog.s.parity = "A parity text of thirty bytes";
    dialog.UpdateData(false);
    QLineEdit* address = Edit(dialog, 1015);
    EXPECT_EQ(address->text(), "-2147483647");
    address->setCursorPosition(address->text().size());
    QTest::keyClicks(address, "5");
    EXPECT_EQ(address->text(), "-2147483647");  // no room for more
    QTest::keyClick(address, Qt::Key_Backspace);
    EXPECT_EQ(address->text(), "-214748364");
    EXPECT_EQ(Combo(dialog, 1006)->currentText(), "A parity text of thirty bytes");
}

TEST_F(Form, GeometryFromDialogUnits) {
    QDialog* window = QtDialogOf(dialog);
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

TEST_F(Form, DroppedListHeights) {
    const DialogBaseUnits base = dialog.GetDialogWindow()->BaseUnits();
    for (const DialogControl& c : PortSetupTemplate().controls) {
        if (c.kind != ControlKind::ComboBox) {
            continue;
        }
        SCOPED_TRACE(c.id);
        QComboBox* combo = Combo(dialog, c.id);
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

TEST_F(Form, FieldsAreNamedAfterTheirLabels) {
    EXPECT_EQ(Edit(dialog, 1015)->accessibleName(), "SERIAL1 address");
    EXPECT_EQ(Combo(dialog, 1006)->accessibleName(), "PARITY");
    EXPECT_EQ(Combo(dialog, 1001)->accessibleName(), "MAIN COM");
    EXPECT_EQ(Combo(dialog, 1012)->accessibleName(), "Total Virtual Ports");
    dialog.s.rowLabel[7] = "SERIAL64";
    dialog.UpdateData(false);
    EXPECT_EQ(Edit(dialog, 1026)->accessibleName(), "SERIAL64 address");
}

}  // namespace
}  // namespace tavirap::test
