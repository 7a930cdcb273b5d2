#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/framework/SmallDialog.h"
#include "tests/framework/UiDriver.h"

namespace tavirap::test {

DialogTemplate SmallTemplate(DialogRect rect, std::uint16_t listMessage) {
    DialogTemplate t;
    t.id = 300;
    t.caption = "Small";
    t.fontName = "MS Sans Serif";
    t.style = DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    t.rect = rect;
    const std::uint32_t child = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    t.controls = {
        {kGo, ControlKind::Button, child | BS_DEFPUSHBUTTON, 0, "GO", {5, 5, 40, 14}},
        {kList, ControlKind::ComboBox, child | CBS_DROPDOWNLIST, 0, "", {5, 25, 40, 40}},
        {kField, ControlKind::Edit, child | WS_BORDER, 0, "", {50, 25, 40, 12}},
    };
    const InitRecord records[] = {{kList, listMessage, "a"}, {kList, listMessage, "b"}};
    t.initData = EncodeInitData(records);
    return t;
}

BEGIN_MESSAGE_MAP(CHelpApp, CWinApp)
ON_COMMAND(ID_HELP, &CHelpApp::OnCountedHelp)
END_MESSAGE_MAP()

CHelpApp theApp;

BEGIN_MESSAGE_MAP(CSmallDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(kGo, &CSmallDlg::OnGo)
END_MESSAGE_MAP()

namespace {

const DialogTemplate kSmall = SmallTemplate({0, 0, 100, 80});

TEST(Framework, MessageBoxesShowTextIconButtonsAndTheProgramsName) {
    CSmallDlg dialog(kSmall);
    {
        const auto driver = MakeUiDriver(dialog, IDNO);
        driver->Open();
        EXPECT_EQ(driver->Entries(kList), (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(dialog.MessageBox("Go on?", {}, MB_YESNO | MB_ICONQUESTION), IDNO);
        EXPECT_EQ(
            driver->Boxes(),
            (std::vector<Box>{{AfxGetAppName(), "Go on?", MB_ICONQUESTION, {IDYES, IDNO}, true}}));
    }
    EXPECT_EQ(AfxGetAppName().rfind("framework_", 0), 0u);  // this test program's name
    const auto driver = MakeUiDriver(dialog);
    EXPECT_EQ(AfxMessageBox("Settings were not saved.", MB_ICONHAND), IDOK);
    ASSERT_EQ(driver->Boxes().size(), 1u);
    Box shown = driver->Boxes()[0];
    shown.ownedByDialog = false;  // whichever window is active
    EXPECT_EQ(shown, (Box{AfxGetAppName(), "Settings were not saved.", MB_ICONHAND, {IDOK}}));
}

TEST(Framework, F1ReachesTheApplicationsHelpCommand) {
    CSmallDlg dialog(kSmall);
    const auto driver = MakeUiDriver(dialog);
    driver->Open();
    theApp.helpCount = 0;
    driver->Press(kField, Key::F1);
    EXPECT_EQ(theApp.helpCount, 1);
}

TEST(Framework, InitDataItCannotCarryOutIsAnError) {
    const DialogTemplate t = SmallTemplate({0, 0, 100, 80}, kInitListAddString);
    CSmallDlg dialog(t);
    EXPECT_THROW(dialog.Create(), std::invalid_argument);
}

TEST(Framework, TheModalRunShowsTheWindowAndReturnsTheResult) {
    CSmallDlg dialog(kSmall);
    const auto driver = MakeUiDriver(dialog);
    bool open = false;
    EXPECT_EQ(driver->RunModal([&] {
        open = driver->IsOpen();
        driver->Press(kField, Key::Enter);  // the default button, GO
    }),
              77);
    EXPECT_TRUE(open);
    EXPECT_EQ(dialog.goClicks, 1);
    EXPECT_EQ(dialog.GetDialogWindow(), nullptr);
}

}  // namespace
}  // namespace tavirap::test
