// The configuration form as a real Win32 dialog built from template 102,
// under Wine: the shared form cases (FormCases.cpp) and what only the real
// controls show: their classes and styles, and geometry.
#include "tests/framework/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include "tests/dialog/FormCases.h"

namespace tavirap::test {
namespace {

HWND Control(const CDialog& dialog, int id) {
    return Win32ControlOf(dialog, id);
}

TEST_F(Form, ControlsAreTheTemplatesRealClassesAndStyles) {
    struct Kind {
        ControlKind kind;
        const char* windowClass;
    };
    const Kind kinds[] = {{ControlKind::Button, "Button"},
                          {ControlKind::GroupBox, "Button"},
                          {ControlKind::Static, "Static"},
                          {ControlKind::Edit, "Edit"},
                          {ControlKind::ComboBox, "ComboBox"}};
    HWND child = GetWindow(Win32DialogOf(dialog), GW_CHILD);
    for (const DialogControl& c : PortSetupTemplate().controls) {
        SCOPED_TRACE(c.text.empty() ? std::to_string(c.id) : c.text);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), c.id == -1 ? 0xFFFF : c.id);
        for (const Kind& k : kinds) {
            if (k.kind == c.kind) {
                EXPECT_EQ(ClassOf(child), k.windowClass);
            }
        }
        // The dialog manager may draw bordered edits with a sunken client edge
        // instead of WS_BORDER, and a combo box hands its scroll bar to its
        // list, which shows it when the entries need it; every other bit is
        // the template's.
        const auto style = static_cast<std::uint32_t>(GetWindowLongA(child, GWL_STYLE));
        const std::uint32_t asked = c.kind == ControlKind::Edit       ? c.style & ~WS_BORDER
                                    : c.kind == ControlKind::ComboBox ? c.style & ~WS_VSCROLL
                                                                      : c.style;
        EXPECT_EQ(style & asked, asked);

        const auto exStyle = static_cast<std::uint32_t>(GetWindowLongA(child, GWL_EXSTYLE));
        EXPECT_EQ(exStyle & WS_EX_STATICEDGE, c.exStyle & WS_EX_STATICEDGE);
        if (c.kind != ControlKind::ComboBox && c.kind != ControlKind::Edit) {
            EXPECT_EQ(TextOf(child), c.text);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    // No field scrolls sideways.
    for (int id : kRowAddressIds) {
        EXPECT_EQ(GetWindowLongA(Control(dialog, id), GWL_STYLE) & ES_AUTOHSCROLL, 0) << id;
    }
    for (int id : {1001, 1003, 1006, 1008, 1009, 1060}) {
        EXPECT_EQ(GetWindowLongA(ComboEdit(Control(dialog, id)), GWL_STYLE) & ES_AUTOHSCROLL, 0)
            << id;
    }
    EXPECT_EQ(ComboEdit(Control(dialog, IDC_TOTAL_PORTS)), nullptr);
}

TEST_F(Form, TextsFromCodeAreShownWholeAndCanBeShortened) {
    dialog.s.rowAddress[0] = -2147483647;
    dialog.s.parity = "A parity text of thirty bytes";
    dialog.UpdateData(false);
    HWND address = Control(dialog, 1015);
    EXPECT_EQ(driver->Text(1015), "-2147483647");
    FocusLikeTab(Win32DialogOf(dialog), address);
    SendMessageA(address, EM_SETSEL, 11, 11);
    PressKey(Win32DialogOf(dialog), address, VK_BACK);
    // Windows takes one character off; Wine's edit control also drops the
    // last one of a text wider than the field whenever the text changes.
    const std::string shortened = driver->Text(1015);
    EXPECT_GE(shortened.size(), 9u);
    EXPECT_LT(shortened.size(), 11u);
    EXPECT_EQ(shortened, std::string("-2147483647").substr(0, shortened.size()));
    EXPECT_EQ(driver->Text(1006), "A parity text of thirty bytes");
}

TEST_F(Form, GeometryFromRealDialogUnits) {
    HWND window = Win32DialogOf(dialog);
    const DialogBaseUnits base = dialog.GetDialogWindow()->BaseUnits();
    EXPECT_GE(base.x, 5);
    EXPECT_LE(base.x, 8);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(298, base.x, 4));
    EXPECT_EQ(client.bottom, MulDiv(288, base.y, 8));

    RECT frame{};
    GetWindowRect(window, &frame);
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (area.left + area.right)), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (area.top + area.bottom)), 1);

    EXPECT_EQ(TextOf(window), "TAVIRAP");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    for (const DialogControl& c : PortSetupTemplate().controls) {
        if (c.id == -1) {
            continue;
        }
        SCOPED_TRACE(c.id);
        RECT screen{};
        GetWindowRect(Control(dialog, c.id), &screen);
        RECT r = screen;
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const PixelRect expected = MapDialogRect(c.rect, base);
        EXPECT_EQ(r.left, expected.x);
        EXPECT_EQ(r.top, expected.y);
        EXPECT_EQ(r.right - r.left, expected.width);
        if (c.kind == ControlKind::ComboBox) {
            // The template's height is the field's with its list dropped down.
            EXPECT_LT(r.bottom - r.top, expected.height);
        } else {
            EXPECT_EQ(r.bottom - r.top, expected.height);
        }
    }
}

TEST_F(Form, DroppedListHeights) {
    for (const DialogControl& c : PortSetupTemplate().controls) {
        if (c.kind != ControlKind::ComboBox) {
            continue;
        }
        SCOPED_TRACE(c.id);
        HWND combo = Control(dialog, c.id);
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        PumpMessages(Win32DialogOf(dialog));
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        ASSERT_TRUE(IsWindowVisible(info.hwndList));
        RECT field{};
        RECT list{};
        GetWindowRect(combo, &field);
        GetWindowRect(info.hwndList, &list);
        const int height = DialogUnitsToPixelsY(c.rect.cy, dialog.GetDialogWindow()->BaseUnits());
        // Below the field, never longer than the template asks. Windows keeps
        // the exact height where the template says CBS_NOINTEGRALHEIGHT; Wine
        // shortens every list to its entries when they fit.
        EXPECT_EQ(list.top, field.bottom);
        EXPECT_LE(list.bottom - field.top, height);
        RECT client{};
        GetClientRect(info.hwndList, &client);
        const auto row = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
        const auto entries = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        EXPECT_TRUE(list.bottom - field.top == height || client.bottom >= entries * row);
        if (!(c.style & CBS_NOINTEGRALHEIGHT)) {
            EXPECT_EQ(client.bottom % row, 0);
        }
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        PumpMessages(Win32DialogOf(dialog));
    }
}

}  // namespace
}  // namespace tavirap::test
