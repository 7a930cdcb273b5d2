// The framework on real Win32 dialogs under Wine: the shared cases
// (FrameworkCases.cpp), and the in-memory template and its font, painting
// and the drag icon through the map, placement, and quitting the modal run.
#include "tests/framework/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include "tests/framework/SmallDialog.h"

namespace tavirap::test {
namespace {

const DialogTemplate kSmall = SmallTemplate({0, 0, 100, 80});

TEST(Win32Framework, TheWindowIsARealDialogOfTheTemplate) {
    CSmallDlg dialog(kSmall);
    ASSERT_TRUE(dialog.Create());
    HWND window = Win32DialogOf(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ClassOf(window), "#32770");
    EXPECT_EQ(TextOf(window), "Small");
    EXPECT_EQ(ClassOf(Win32ControlOf(dialog, kGo)), "Button");
    EXPECT_EQ(ClassOf(Win32ControlOf(dialog, kList)), "ComboBox");
    EXPECT_EQ(ClassOf(Win32ControlOf(dialog, kField)), "Edit");

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

TEST(Win32Framework, PaintAndTheDragIconGoThroughTheMessageMap) {
    CSmallDlg dialog(kSmall);
    dialog.Create();
    HWND window = Win32DialogOf(dialog);
    PumpMessages(window);
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

TEST(Win32Framework, QuittingDuringTheModalRunEndsIt) {
    CSmallDlg dialog(kSmall);
    RunSoon([] { PostQuitMessage(3); });
    EXPECT_EQ(dialog.DoModal(), -1);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
}  // namespace tavirap::test
