// The configuration form as a real Win32 dialog built from template 102,
// under Wine: the field exchange both ways, its checks with their message
// boxes, the real controls' own typing rules, the keyboard, and geometry.
#include "tests/framework/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <map>

#include "dialog/PortSetupExchange.h"
#include "dialog/PortSetupForm.h"
#include "tests/dialog/FormCases.h"

namespace tavirap {
namespace {

// The form bound to a record; commands are counted by control id.
class FormDialog : public CDialog {
public:
    FormDialog() : CDialog(PortSetupTemplate()) {}

    PortSettings s;
    int transfersIn = 0;
    std::map<std::pair<UINT, int>, int> commands;

    HWND Window() const { return Win32DialogOf(*this); }
    HWND Control(int id) const { return Win32ControlOf(*this, id); }
    // The window that takes the keys: an edit, or a combo box's edit field.
    HWND KeyTarget(int id) const {
        HWND edit = test::ComboEdit(Control(id));
        return edit != nullptr ? edit : Control(id);
    }
    std::string Text(int id) const { return test::TextOf(Control(id)); }
    int CurSel(int id) const {
        return static_cast<int>(SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
    }
    int Count(UINT code, int id) const {
        const auto it = commands.find({code, id});
        return it == commands.end() ? 0 : it->second;
    }
    void Pump() const { test::PumpMessages(Window()); }

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

class PortSetupWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDefaults(dialog.s);
        ASSERT_TRUE(dialog.Create());
        dialog.Pump();
    }
    // Empties a field and types into it, as the user does.
    void TypeInto(int id, std::string_view text) {
        HWND target = dialog.KeyTarget(id);
        SetWindowTextA(target, "");
        test::FocusLikeTab(dialog.Window(), dialog.Control(id));
        test::TypeChars(dialog.Window(), target, text);
    }
    FormDialog dialog;
};

TEST_F(PortSetupWin32, ControlsAreTheTemplatesRealClassesAndStyles) {
    struct Kind {
        ControlKind kind;
        const char* windowClass;
    };
    const Kind kinds[] = {{ControlKind::Button, "Button"},
                          {ControlKind::GroupBox, "Button"},
                          {ControlKind::Static, "Static"},
                          {ControlKind::Edit, "Edit"},
                          {ControlKind::ComboBox, "ComboBox"}};
    HWND child = GetWindow(dialog.Window(), GW_CHILD);
    for (const DialogControl& c : PortSetupTemplate().controls) {
        SCOPED_TRACE(c.text.empty() ? std::to_string(c.id) : c.text);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), c.id == -1 ? 0xFFFF : c.id);
        for (const Kind& k : kinds) {
            if (k.kind == c.kind) {
                EXPECT_EQ(test::ClassOf(child), k.windowClass);
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
            EXPECT_EQ(test::TextOf(child), c.text);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    // No field scrolls sideways.
    for (int id : kRowAddressIds) {
        EXPECT_EQ(GetWindowLongA(dialog.Control(id), GWL_STYLE) & ES_AUTOHSCROLL, 0) << id;
    }
    for (int id : {1001, 1003, 1006, 1008, 1009, 1060}) {
        EXPECT_EQ(GetWindowLongA(dialog.KeyTarget(id), GWL_STYLE) & ES_AUTOHSCROLL, 0) << id;
    }
    EXPECT_EQ(test::ComboEdit(dialog.Control(IDC_TOTAL_PORTS)), nullptr);
}

TEST_F(PortSetupWin32, ListsAreFilledAndTheRecordShown) {
    EXPECT_EQ(test::ComboEntries(dialog.Control(1001)).size(), 9u);
    EXPECT_EQ(test::ComboEntries(dialog.Control(1012)),
              (std::vector<std::string>{"2", "4", "8", "16", "24", "32", "40", "48", "56", "64"}));
    EXPECT_EQ(test::ComboEntries(dialog.Control(1060)),
              (std::vector<std::string>{"Hardware", "None"}));
    EXPECT_EQ(dialog.Text(1026), "8");
    EXPECT_EQ(dialog.Text(1012), "8");
    EXPECT_EQ(dialog.CurSel(1012), 2);
    EXPECT_EQ(dialog.Text(1006), "No Parity");
    EXPECT_EQ(dialog.Text(1045), "SERIAL8");
}

TEST_F(PortSetupWin32, RecordToFormAndBack) {
    const PortSettings other = test::OtherSettings();
    dialog.s = other;
    dialog.UpdateData(false);
    for (int row = 0; row < kRowsPerPage; ++row) {
        EXPECT_EQ(dialog.Text(kRowAddressIds[row]), std::to_string(10 + row));
        EXPECT_EQ(dialog.Text(kRowLabelIds[row]), "SERIAL" + std::to_string(9 + row));
    }
    const std::pair<int, const char*> shown[] = {
        {1003, "38400"}, {1009, "7"},           {1012, "24"},  {1008, "2"},
        {1001, "COM4"},  {1006, "Even Parity"}, {1060, "None"}};
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(dialog.Text(id), text) << id;
        EXPECT_NE(dialog.CurSel(id), -1) << id;
    }

    ResetDefaults(dialog.s);
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(test::FieldsInOrder(dialog.s), test::FieldsInOrder(other));
}

TEST_F(PortSetupWin32, ValuesSetInTheControlsComeIn) {
    SetWindowTextA(dialog.Control(1019), "64");
    SetWindowTextA(dialog.Control(1003), "1234");
    SetWindowTextA(dialog.Control(1008), "9");
    SendMessageA(dialog.Control(1012), CB_SETCURSEL, 9, 0);
    SetWindowTextA(dialog.Control(1006), "Mark");
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.s.rowAddress[2], 64);
    EXPECT_EQ(dialog.s.baudRate, "1234");
    EXPECT_EQ(dialog.s.stopBits, "9");
    EXPECT_EQ(dialog.s.totalIndex, 9);
    EXPECT_EQ(dialog.s.parity, "Mark");
}

TEST_F(PortSetupWin32, EachCheckFailsAtItsPlace) {
    const PortSettings old;
    const PortSettings other = test::OtherSettings();
    for (const test::FailureCase& c : test::kFailureCases) {
        SCOPED_TRACE(c.name);
        dialog.s = other;
        dialog.UpdateData(false);
        SetWindowTextA(dialog.Control(c.control), c.text);
        ASSERT_EQ(dialog.Text(c.control), c.text);
        test::FocusLikeTab(dialog.Window(), dialog.Control(IDC_SAVE));
        dialog.s = old;

        test::MessageBoxWatcher boxes;
        EXPECT_FALSE(dialog.UpdateData(true));

        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].owner, dialog.Window());
        EXPECT_EQ(boxes.shown()[0].title, "dialog_win32_test");
        EXPECT_EQ(boxes.shown()[0].text, c.message);
        EXPECT_EQ(boxes.shown()[0].icon, MB_ICONEXCLAMATION);
        EXPECT_EQ(boxes.shown()[0].buttons, std::vector<int>{IDOK});

        EXPECT_EQ(test::FieldsInOrder(dialog.s), test::FieldsAfterFailure(c, other, old));

        dialog.Pump();
        HWND failing = dialog.Control(c.control);
        HWND focus = GetFocus();
        EXPECT_TRUE(focus == failing || IsChild(failing, focus));
        if (test::ClassOf(failing) == "Edit") {
            DWORD start = 0;
            DWORD end = 0;
            SendMessageA(failing, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, dialog.Text(c.control).size());
        }
    }
}

TEST_F(PortSetupWin32, ChoosingByPrefixWhenShownIsTheComboBoxsOwn) {
    for (const test::PrefixCase& c : test::kPrefixCases) {
        SCOPED_TRACE(c.shown);
        dialog.s.*c.field = c.shown;
        dialog.UpdateData(false);
        EXPECT_EQ(dialog.CurSel(c.control), c.index);
        ASSERT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.s.*c.field, c.readBack);
    }
}

TEST_F(PortSetupWin32, AnIndexOutsideTheListChoosesNothing) {
    for (std::int32_t index : {13, -1, 10, -7}) {
        dialog.s.totalIndex = index;
        dialog.UpdateData(false);
        EXPECT_EQ(dialog.CurSel(1012), -1);
        EXPECT_EQ(dialog.Text(1012), "");
        ASSERT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.s.totalIndex, -1);
    }
}

TEST_F(PortSetupWin32, TypingFollowsTheControlsOwnRules) {
    for (const test::TypingCase& c : test::kTypingCases) {
        SCOPED_TRACE(c.typed);
        TypeInto(c.control, c.typed);
        EXPECT_EQ(dialog.Text(c.control), c.shown);
    }
}

TEST_F(PortSetupWin32, TypingStopsAtTheVisibleWidth) {
    for (int id : {1015, 1009, 1003}) {
        SCOPED_TRACE(id);
        TypeInto(id, std::string(40, '8'));
        HWND edit = dialog.KeyTarget(id);
        const std::string kept = test::TextOf(edit);
        EXPECT_GE(kept.size(), 3u);
        EXPECT_LT(kept.size(), 40u);
        RECT format{};
        SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        ::HDC dc = GetDC(edit);
        const HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)));
        SIZE used{};
        GetTextExtentPoint32A(dc, kept.c_str(), static_cast<int>(kept.size()), &used);
        SelectObject(dc, old);
        ReleaseDC(edit, dc);
        EXPECT_LE(used.cx, format.right - format.left);
    }
}

TEST_F(PortSetupWin32, TextsFromCodeAreShownWholeAndCanBeShortened) {
    dialog.s.rowAddress[0] = -2147483647;
    dialog.s.parity = "A parity text of thirty bytes";
    dialog.UpdateData(false);
    HWND address = dialog.Control(1015);
    EXPECT_EQ(dialog.Text(1015), "-2147483647");
    test::FocusLikeTab(dialog.Window(), address);
    SendMessageA(address, EM_SETSEL, 11, 11);
    test::PressKey(dialog.Window(), address, VK_BACK);
    // Windows takes one character off; Wine's edit control also drops the
    // last one of a text wider than the field whenever the text changes.
    const std::string shortened = dialog.Text(1015);
    EXPECT_GE(shortened.size(), 9u);
    EXPECT_LT(shortened.size(), 11u);
    EXPECT_EQ(shortened, std::string("-2147483647").substr(0, shortened.size()));
    EXPECT_EQ(dialog.Text(1006), "A parity text of thirty bytes");
}

TEST_F(PortSetupWin32, EnterPressesTheDefaultButtonOrTheFocusedOne) {
    TypeInto(1001, "COM5X");
    test::PressKey(dialog.Window(), dialog.KeyTarget(1001), VK_RETURN);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_SAVE), 1);
    EXPECT_EQ(test::ComboEntries(dialog.Control(1001)).size(), 9u);  // nothing added
    EXPECT_EQ(dialog.Text(1001), "COM5X");

    test::FocusLikeTab(dialog.Window(), dialog.Control(1023));
    test::PressKey(dialog.Window(), dialog.Control(1023), VK_RETURN);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_SAVE), 2);

    test::FocusLikeTab(dialog.Window(), dialog.Control(IDC_EXIT));
    test::PressKey(dialog.Window(), dialog.Control(IDC_EXIT), VK_RETURN);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_EXIT), 1);
    EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_SAVE), 2);
    EXPECT_EQ(dialog.transfersIn, 0);
}

TEST_F(PortSetupWin32, OnlyTheUsersChoiceOfTotalIsACommand) {
    HWND total = dialog.Control(1012);
    dialog.s.totalIndex = 6;
    dialog.UpdateData(false);
    SendMessageA(total, CB_SETCURSEL, 7, 0);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 0);
    test::FocusLikeTab(dialog.Window(), total);
    test::PressKey(dialog.Window(), total, VK_DOWN);
    test::PressKey(dialog.Window(), total, VK_DOWN);
    EXPECT_EQ(dialog.CurSel(1012), 9);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 2);
    test::PressKey(dialog.Window(), total, VK_UP);
    EXPECT_EQ(dialog.CurSel(1012), 8);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 3);
    dialog.s.totalIndex = 0;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.Count(CBN_SELCHANGE, 1012), 3);
}

TEST_F(PortSetupWin32, TabOrderIsCreationOrderAndStartsAtSave) {
    EXPECT_EQ(GetFocus(), dialog.Control(IDC_SAVE));
    std::vector<int> order;
    HWND start = dialog.Control(IDC_SAVE);
    HWND w = start;
    do {
        order.push_back(GetDlgCtrlID(w));
        w = GetNextDlgTabItem(dialog.Window(), w, FALSE);
    } while (w != start && order.size() < 40);
    EXPECT_EQ(order, (std::vector<int>{1034, 1035, 1001, 1003, 1006, 1008, 1009, 1012, 1015, 1017,
                                       1019, 1021, 1023, 1024, 1025, 1026, 1036, 1037, 1060}));
}

TEST_F(PortSetupWin32, GeometryFromRealDialogUnits) {
    HWND window = dialog.Window();
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

    EXPECT_EQ(test::TextOf(window), "TAVIRAP");
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
        GetWindowRect(dialog.Control(c.id), &screen);
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

TEST_F(PortSetupWin32, DroppedListHeights) {
    for (const DialogControl& c : PortSetupTemplate().controls) {
        if (c.kind != ControlKind::ComboBox) {
            continue;
        }
        SCOPED_TRACE(c.id);
        HWND combo = dialog.Control(c.id);
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        dialog.Pump();
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
        dialog.Pump();
    }
}

TEST(PortSetupWin32Modal, EscEndsTheRunWithoutATransfer) {
    FormDialog dialog;
    test::RunSoon([&dialog] {
        HWND address = dialog.Control(1015);
        test::FocusLikeTab(dialog.Window(), address);
        test::TypeChars(dialog.Window(), address, "33");
        test::PressKey(dialog.Window(), address, VK_ESCAPE);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.transfersIn, 0);
    EXPECT_EQ(dialog.s.rowAddress[0], 0);
    EXPECT_EQ(dialog.GetDialogWindow(), nullptr);
}

TEST(PortSetupWin32Modal, TheCloseBoxCancelsAndExitDestroys) {
    FormDialog closed;
    test::RunSoon([&closed] { SendMessageA(closed.Window(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);

    FormDialog exited;
    test::RunSoon([&exited] { SendMessageA(exited.Control(IDC_EXIT), BM_CLICK, 0, 0); });
    EXPECT_EQ(exited.DoModal(), -1);
    EXPECT_EQ(exited.Count(BN_CLICKED, IDC_EXIT), 1);
    EXPECT_EQ(exited.transfersIn, 0);
}

}  // namespace
}  // namespace tavirap
