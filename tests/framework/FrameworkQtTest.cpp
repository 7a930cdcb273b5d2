// The framework on its Qt backend with a small template of its own: message
// boxes, painting, F1, window placement and init data it cannot carry out.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <stdexcept>

#include "framework/qt/QtBackend.h"
#include "tests/framework/QtTestSupport.h"

namespace tavirap {
namespace {

DialogTemplate SmallTemplate(DialogRect rect, std::uint16_t listMessage = kInitComboAddString) {
    DialogTemplate t;
    t.id = 300;
    t.caption = "Small";
    t.fontName = "MS Sans Serif";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.rect = rect;
    t.controls = {
        {10, ControlKind::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "GO", {5, 5, 40, 14}},
        {30, ControlKind::ComboBox, CBS_DROPDOWNLIST | WS_TABSTOP, 0, "", {5, 25, 40, 40}},
    };
    const InitRecord records[] = {{30, listMessage, "a"}, {30, listMessage, "b"}};
    t.initData = EncodeInitData(records);
    return t;
}

class CHelpApp : public CWinApp {
public:
    int helpCount = 0;
    void OnCountedHelp() {
        ++helpCount;
        OnHelp();  // no help viewer here: shows nothing
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpApp, CWinApp)
ON_COMMAND(ID_HELP, &CHelpApp::OnCountedHelp)
END_MESSAGE_MAP()

CHelpApp theApp;

class CSmallDlg : public CDialog {
public:
    explicit CSmallDlg(const DialogTemplate& t) : CDialog(t) {}
    int paints = 0;
    bool hadDc = false;

protected:
    void OnPaint() {
        ++paints;
        CPaintDC dc(this);
        hadDc = dc.GetSafeHdc() != nullptr;
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSmallDlg, CDialog)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(QtFramework, MessageBoxesShowIconButtonsAndTitle) {
    const DialogTemplate t = SmallTemplate({0, 0, 100, 80});
    CSmallDlg dialog(t);
    dialog.Create();
    {
        test::MessageBoxWatcher boxes(QMessageBox::No);
        EXPECT_EQ(dialog.MessageBox("Go on?", {}, MB_YESNO | MB_ICONQUESTION), IDNO);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, "framework_qt_test");
        EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Question);
        EXPECT_EQ(boxes.shown()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }
    test::MessageBoxWatcher boxes;
    EXPECT_EQ(AfxMessageBox("Settings were not saved.", MB_ICONHAND), IDOK);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Settings were not saved.");
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.shown()[0].buttons, QMessageBox::Ok);
}

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

TEST(QtFramework, F1ReachesTheApplicationsHelpCommand) {
    const DialogTemplate t = SmallTemplate({0, 0, 100, 80});
    CSmallDlg dialog(t);
    dialog.Create();
    theApp.helpCount = 0;
    QTest::keyClick(QtControlOf(dialog, 30), Qt::Key_F1);
    EXPECT_EQ(theApp.helpCount, 1);
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

TEST(QtFramework, InitDataItCannotCarryOutIsAnError) {
    const DialogTemplate t = SmallTemplate({0, 0, 100, 80}, kInitListAddString);
    CSmallDlg dialog(t);
    EXPECT_THROW(dialog.Create(), std::invalid_argument);
}

}  // namespace
}  // namespace tavirap
