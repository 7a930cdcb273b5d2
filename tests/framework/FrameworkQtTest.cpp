// The framework on its Qt backend: the shared cases (FrameworkCases.cpp), and
// painting and placement on Qt's widgets.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "framework/qt/QtBackend.h"
#include "tests/framework/SmallDialog.h"

namespace tavirap::test {
namespace {

TEST(QtFramework, PaintGoesThroughTheMessageMap) {
    const DialogTemplate t = SmallTemplate({0, 0, 100, 80});
    CSmallDlg dialog(t);
    dialog.Create();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtDialogOf(dialog)));
    dialog.paints = 0;
    QtDialogOf(dialog)->repaint();
    EXPECT_EQ(dialog.paints, 1);
    EXPECT_TRUE(dialog.hadDc);
    EXPECT_FALSE(dialog.IsIconic());
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.Width(), QtDialogOf(dialog)->width());
}

TEST(QtFramework, PlacedAtTheTemplatesPositionUnlessZero) {
    const DialogTemplate t = SmallTemplate({10, 20, 100, 80});
    CSmallDlg dialog(t);
    dialog.Create();
    const DialogBaseUnits base = dialog.GetDialogWindow()->BaseUnits();
    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
    EXPECT_EQ(QtDialogOf(dialog)->pos(),
              origin + QPoint(MulDiv(10, base.x, 4), MulDiv(20, base.y, 8)));
    dialog.DestroyWindow();
    EXPECT_FALSE(QtDialogOf(dialog)->isVisible());
}

}  // namespace
}  // namespace tavirap::test
