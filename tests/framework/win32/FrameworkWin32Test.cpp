// The framework on real Win32 dialogs under Wine, with a small template of
// its own: the in-memory template and its font, message boxes, painting and
// the drag icon through the map, F1, placement, and the modal run.
#include "tests/framework/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tavirap {
namespace {

constexpr int kGo = 10;
constexpr int kList = 30;
constexpr int kField = 40;

DialogTemplate SmallTemplate(DialogRect rect, std::uint16_t listMessage = kInitComboAddString) {
    DialogTemplate t;
    t.id = 300;
    t.caption = "Small";
    t.fontName = "MS Sans Serif";
    t.style = DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    t.rect = rect;
    t.controls = {
        {kGo,
         ControlKind::Button,
         WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP,
         0,
         "GO",
         {5, 5, 40, 14}},
        {kList,
         ControlKind::ComboBox,
         WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_TABSTOP,
         0,
         "",
         {5, 25, 40, 40}},
        {kField,
         ControlKind::Edit,
         WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP,
         0,
         "",
         {50, 25, 40, 12}},
    };
    const InitRecord records[] = {{kList, listMessage, "a"}, {kList, listMessage, "b"}};
    t.initData = EncodeInitData(records);
    return t;
}

class CHelpApp : public CWinApp {
public:
    int helpCount = 0;
    void OnCountedHelp() {
        ++helpCount;
        OnHelp();  // no help viewer: shows nothing
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
    int goClicks = 0;
    HICON icon = nullptr;

protected:
    void OnPaint() {
        ++paints;
        CPaintDC dc(this);
        hadDc = dc.GetSafeHdc() != nullptr;
        Default();
    }
    HCURSOR OnQueryDragIcon() { return icon; }
    void OnGo() {
        ++goClicks;
        EndDialog(77);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSmallDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(kGo, &CSmallDlg::OnGo)
END_MESSAGE_MAP()

const DialogTemplate kSmall = SmallTemplate({0, 0, 100, 80});

TEST(Win32Framework, TheWindowIsARealDialogOfTheTemplate) {
    CSmallDlg dialog(kSmall);
    ASSERT_TRUE(dialog.Create());
    HWND window = Win32DialogOf(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(test::ClassOf(window), "#32770");
    EXPECT_EQ(test::TextOf(window), "Small");
    EXPECT_EQ(test::ClassOf(Win32ControlOf(dialog, kGo)), "Button");
    EXPECT_EQ(test::ClassOf(Win32ControlOf(dialog, kList)), "ComboBox");
    EXPECT_EQ(test::ClassOf(Win32ControlOf(dialog, kField)), "Edit");
    EXPECT_EQ(test::ComboEntries(Win32ControlOf(dialog, kList)),
              (std::vector<std::string>{"a", "b"}));

    // The template's font, at its size; the dialog units are the system's own
    // conversion, which agrees with the framework's arithmetic on that font.
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    ASSERT_NE(GetObjectA(font, sizeof logFont, &logFont), 0);
    EXPECT_STREQ(logFont.lfFaceName, "MS Sans Serif");
    ::HDC dc = GetDC(window);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72));
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE alphabet{};
    GetTextExtentPoint32A(dc, kBaseUnitsAlphabet, 52, &alphabet);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    const DialogBaseUnits base = dialog.GetDialogWindow()->BaseUnits();
    const DialogBaseUnits computed = BaseUnitsFromFontMetrics(alphabet.cx, metrics.tmHeight);
    EXPECT_EQ(base.x, computed.x);
    EXPECT_EQ(base.y, computed.y);

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, DialogUnitsToPixelsX(100, base));
    EXPECT_EQ(client.bottom, DialogUnitsToPixelsY(80, base));
}

TEST(Win32Framework, MessageBoxesShowIconButtonsAndTitle) {
    CSmallDlg dialog(kSmall);
    dialog.Create();
    {
        test::MessageBoxWatcher boxes(IDNO);
        EXPECT_EQ(dialog.MessageBox("Go on?", {}, MB_YESNO | MB_ICONQUESTION), IDNO);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].owner, Win32DialogOf(dialog));
        EXPECT_EQ(boxes.shown()[0].title, "framework_win32_test");
        EXPECT_EQ(boxes.shown()[0].text, "Go on?");
        EXPECT_EQ(boxes.shown()[0].icon, MB_ICONQUESTION);
        EXPECT_EQ(boxes.shown()[0].buttons, (std::vector<int>{IDYES, IDNO}));
    }
    test::MessageBoxWatcher boxes;
    EXPECT_EQ(AfxMessageBox("Settings were not saved.", MB_ICONHAND), IDOK);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Settings were not saved.");
    EXPECT_EQ(boxes.shown()[0].icon, MB_ICONHAND);
    EXPECT_EQ(boxes.shown()[0].buttons, (std::vector<int>{IDOK}));
}

TEST(Win32Framework, PaintAndTheDragIconGoThroughTheMessageMap) {
    CSmallDlg dialog(kSmall);
    dialog.Create();
    HWND window = Win32DialogOf(dialog);
    test::PumpMessages(window);
    dialog.paints = 0;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(dialog.paints, 1);
    EXPECT_TRUE(dialog.hadDc);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));  // painted, nothing left over

    EXPECT_FALSE(dialog.IsIconic());
    CRect client;
    dialog.GetClientRect(&client);
    RECT real{};
    GetClientRect(window, &real);
    EXPECT_EQ(client.Width(), real.right);
    EXPECT_EQ(client.Height(), real.bottom);

    dialog.icon = theApp.LoadIcon(128);
    ASSERT_NE(dialog.icon, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(dialog.icon));
    dialog.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(dialog.icon));
    EXPECT_EQ(SendMessageA(window, WM_GETICON, ICON_BIG, 0),
              reinterpret_cast<LRESULT>(dialog.icon));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CXICON));

    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(dialog.IsIconic());
}

TEST(Win32Framework, F1ReachesTheApplicationsHelpCommand) {
    CSmallDlg dialog(kSmall);
    dialog.Create();
    HWND window = Win32DialogOf(dialog);
    test::FocusLikeTab(window, Win32ControlOf(dialog, kField));
    theApp.helpCount = 0;
    test::PressKey(window, Win32ControlOf(dialog, kField), VK_F1);
    EXPECT_EQ(theApp.helpCount, 1);
}

TEST(Win32Framework, PlacedAtTheTemplatesPositionOrCentred) {
    const DialogTemplate t = SmallTemplate({10, 20, 100, 80});
    CSmallDlg placed(t);
    placed.Create();
    const DialogBaseUnits base = placed.GetDialogWindow()->BaseUnits();
    RECT r{};
    GetWindowRect(Win32DialogOf(placed), &r);
    EXPECT_EQ(r.left, MulDiv(10, base.x, 4));
    EXPECT_EQ(r.top, MulDiv(20, base.y, 8));
    placed.DestroyWindow();
    EXPECT_FALSE(IsWindowVisible(Win32DialogOf(placed)));

    CSmallDlg centred(kSmall);
    centred.Create();
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(Win32DialogOf(centred), &r);
    EXPECT_LE(std::abs((r.left + r.right) - (area.left + area.right)), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) - (area.top + area.bottom)), 1);
}

TEST(Win32Framework, InitDataItCannotCarryOutIsAnError) {
    const DialogTemplate t = SmallTemplate({0, 0, 100, 80}, kInitListAddString);
    CSmallDlg dialog(t);
    EXPECT_THROW(dialog.Create(), std::invalid_argument);
}

TEST(Win32Framework, TheModalRunShowsTheInitialisedWindowAndReturnsTheResult) {
    CSmallDlg dialog(kSmall);
    bool visible = false;
    std::string listText;
    HWND focus = nullptr;
    test::RunSoon([&] {
        HWND window = Win32DialogOf(dialog);
        visible = IsWindowVisible(window);
        listText = test::TextOf(Win32ControlOf(dialog, kList));
        focus = GetFocus();
        test::PressKey(window, GetFocus(), VK_RETURN);  // the default button, GO
    });
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_TRUE(visible);
    EXPECT_EQ(dialog.goClicks, 1);
    EXPECT_EQ(dialog.GetDialogWindow(), nullptr);
}

TEST(Win32Framework, QuittingDuringTheModalRunEndsIt) {
    CSmallDlg dialog(kSmall);
    test::RunSoon([] { PostQuitMessage(3); });
    EXPECT_EQ(dialog.DoModal(), -1);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
}  // namespace tavirap
