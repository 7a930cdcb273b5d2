#include "tests/dialog/FormCases.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tavirap::test {

BEGIN_MESSAGE_MAP(FormDialog, CDialog)
ON_BN_CLICKED(IDC_SAVE, &FormDialog::OnSave)
ON_BN_CLICKED(IDC_EXIT, &FormDialog::OnExit)
ON_CBN_SELCHANGE(IDC_TOTAL_PORTS, &FormDialog::OnTotal)
END_MESSAGE_MAP()

namespace {

// A record that passes every check and differs from the defaults everywhere.
PortSettings OtherSettings() {
    PortSettings s;
    for (int row = 0; row < kRowsPerPage; ++row) {
        s.rowAddress[row] = 10 + row;
        s.rowLabel[row] = "SERIAL" + std::to_string(9 + row);
    }
    s.baudRate = "38400";
    s.dataBits = "7";
    s.totalIndex = 4;
    s.stopBits = "2";
    s.mainPort = "COM4";
    s.parity = "Even Parity";
    s.flowControl = "None";
    return s;
}

// The record's fields as texts, in the order of the field exchange.
std::vector<std::string> FieldsInOrder(const PortSettings& s) {
    std::vector<std::string> fields;
    for (std::int32_t a : s.rowAddress) {
        fields.push_back(std::to_string(a));
    }
    fields.insert(fields.end(), {s.baudRate, s.dataBits, std::to_string(s.totalIndex)});
    fields.insert(fields.end(), s.rowLabel.begin(), s.rowLabel.end());
    fields.insert(fields.end(), {s.stopBits, s.mainPort, s.parity, s.flowControl});
    return fields;
}

// What the form shows, in the same order; the total as its list index.
std::vector<std::string> ShownInOrder(const UiDriver& driver) {
    std::vector<std::string> shown;
    for (int id : kRowAddressIds) {
        shown.push_back(driver.Text(id));
    }
    shown.insert(shown.end(), {driver.Text(IDC_BAUD_RATE), driver.Text(IDC_DATA_BITS),
                               std::to_string(driver.Selection(IDC_TOTAL_PORTS))});
    for (int id : kRowLabelIds) {
        shown.push_back(driver.Text(id));
    }
    for (int id : {IDC_STOP_BITS, IDC_MAIN_PORT, IDC_PARITY, IDC_FLOW_CONTROL}) {
        shown.push_back(driver.Text(id));
    }
    return shown;
}

TEST_F(Form, ListsAreTheTemplatesAndTheFocusStartsOnSave) {
    std::map<int, std::vector<std::string>> lists;
    for (const InitRecord& r : DecodeInitData(PortSetupTemplate().initData)) {
        lists[r.controlId].push_back(r.text);
    }
    for (const auto& [id, entries] : lists) {
        EXPECT_EQ(driver->Entries(id), entries) << id;
    }
    EXPECT_EQ(driver->FocusedId(), IDC_SAVE);
    std::vector<int> tabStops;
    for (const DialogControl& c : PortSetupTemplate().controls) {
        if (c.style & WS_TABSTOP) {
            tabStops.push_back(c.id);
        }
    }
    EXPECT_EQ(driver->TabOrder(), tabStops);
}

TEST_F(Form, RecordToFormAndBack) {
    const PortSettings other = OtherSettings();
    dialog.s = other;
    dialog.UpdateData(false);
    EXPECT_EQ(ShownInOrder(*driver), FieldsInOrder(other));
    for (int id : {IDC_BAUD_RATE, IDC_DATA_BITS, IDC_STOP_BITS, IDC_MAIN_PORT, IDC_PARITY,
                   IDC_FLOW_CONTROL}) {
        EXPECT_NE(driver->Selection(id), -1) << id;  // the entry chosen, not only its text
    }
    ResetDefaults(dialog.s);
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(FieldsInOrder(dialog.s), FieldsInOrder(other));

    // Texts set by code come in as they are.
    driver->SetText(1019, "64");
    driver->SetText(IDC_BAUD_RATE, "1234");
    driver->SetText(IDC_STOP_BITS, "9");
    driver->SetText(IDC_PARITY, "Mark");
    driver->Select(IDC_TOTAL_PORTS, 9);
    ASSERT_TRUE(dialog.UpdateData(true));
    PortSettings expected = other;
    expected.rowAddress[2] = 64;
    expected.baudRate = "1234";
    expected.stopBits = "9";
    expected.parity = "Mark";
    expected.totalIndex = 9;
    EXPECT_EQ(FieldsInOrder(dialog.s), FieldsInOrder(expected));
}

// A text put into a control by code that fails its check on the way in.
struct FailureCase {
    const char* name;
    int control;
    const char* text;
    std::size_t position;  // in the exchange order
    const char* taken;     // what the field holds afterwards; null: its old value
    const char* message;
};

const FailureCase kFailureCases[] = {
    {"address 65", 1019, "65", 2, "65", "Please enter an integer between 0 and 64."},
    {"empty address", 1015, "", 0, nullptr, "Please enter an integer."},
    {"baud rate of 13", 1003, "1234567890123", 8, "1234567890123",
     "Please enter no more than 12 characters."},
    {"data bits of 3", 1009, "123", 9, "123", "Please enter no more than 2 characters."},
    {"stop bits 1.5", 1008, "1.5", 19, "1.5", "Please enter no more than 2 characters."},
    {"main port of 9", 1001, "COM123456", 20, "COM123456",
     "Please enter no more than 8 characters."},
    {"parity of 23", 1006, "Parity of twenty-three.", 21, "Parity of twenty-three.",
     "Please enter no more than 22 characters."},
    {"flow control of 17", 1060, "Flow control 17ch", 22, "Flow control 17ch",
     "Please enter no more than 16 characters."},
};

// The fields before the failing one are taken, the failing one as its case
// says, the ones after it keep their old values; the user is told with a
// warning and the failing field has the focus, an edit field's text selected.
TEST_F(Form, EachCheckFailsAtItsPlace) {
    const PortSettings old;
    const PortSettings other = OtherSettings();
    for (const FailureCase& c : kFailureCases) {
        SCOPED_TRACE(c.name);
        dialog.s = other;
        dialog.UpdateData(false);
        driver->SetText(c.control, c.text);
        ASSERT_EQ(driver->Text(c.control), c.text);
        driver->Click(IDC_SAVE);  // the focus elsewhere
        dialog.s = old;
        const std::size_t boxes = driver->Boxes().size();

        EXPECT_FALSE(dialog.UpdateData(true));

        ASSERT_EQ(driver->Boxes().size(), boxes + 1);
        EXPECT_EQ(driver->Boxes().back(),
                  (Box{AfxGetAppName(), c.message, MB_ICONEXCLAMATION, {IDOK}, true}));
        std::vector<std::string> expected = FieldsInOrder(old);
        const std::vector<std::string> taken = FieldsInOrder(other);
        std::copy(taken.begin(), taken.begin() + c.position, expected.begin());
        if (c.taken != nullptr) {
            expected[c.position] = c.taken;
        }
        EXPECT_EQ(FieldsInOrder(dialog.s), expected);
        EXPECT_EQ(driver->FocusedId(), c.control);
        if (std::ranges::count(kRowAddressIds, c.control) != 0) {
            EXPECT_TRUE(driver->TextSelected(c.control));
        }
    }
}

TEST_F(Form, ShownTextsChooseTheirEntryByPrefix) {
    const struct {
        int control;
        std::string PortSettings::*field;
        const char* shown;
        int index;  // the entry chosen
        const char* readBack;
    } cases[] = {
        {1001, &PortSettings::mainPort, "com2", 1, "COM2"},
        {1003, &PortSettings::baudRate, "1", 1, "1200"},
        {1006, &PortSettings::parity, "even", 2, "Even Parity"},
        {1006, &PortSettings::parity, "Mark", 2, "Mark"},  // no entry: the edit field only
        {1060, &PortSettings::flowControl, "", 0, "Hardware"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        dialog.s.*c.field = c.shown;
        dialog.UpdateData(false);
        EXPECT_EQ(driver->Selection(c.control), c.index);
        ASSERT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.s.*c.field, c.readBack);
    }
    for (std::int32_t index : {13, -1, 10, -7}) {  // no entry of the total's list
        dialog.s.totalIndex = index;
        dialog.UpdateData(false);
        EXPECT_EQ(driver->Selection(IDC_TOTAL_PORTS), -1) << index;
        EXPECT_EQ(driver->Text(IDC_TOTAL_PORTS), "") << index;
        ASSERT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.s.totalIndex, -1) << index;
    }
}

TEST_F(Form, TypingFollowsTheFieldsRules) {
    const struct {
        int control;
        const char* typed;
        const char* shown;
    } cases[] = {
        {1001, "com7", "COM7"}, {1003, "9600n", "9600N"}, {1006, "odd", "odd"},
        {1015, "1a2", "12"},    {1017, "-3", "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        driver->Type(c.control, c.typed);
        EXPECT_EQ(driver->Text(c.control), c.shown);
    }
    // Typing stops where the field is full.
    for (int id : {1015, 1009, 1003}) {
        SCOPED_TRACE(id);
        driver->Type(id, std::string(40, '8'));
        EXPECT_GE(driver->Text(id).size(), 3u);
        EXPECT_LT(driver->Text(id).size(), 40u);
        EXPECT_TRUE(driver->TextFits(id));
    }
}

TEST_F(Form, EnterPressesTheDefaultButtonOrTheFocusedOne) {
    driver->Type(IDC_MAIN_PORT, "COM5X");
    driver->Press(IDC_MAIN_PORT, Key::Enter);
    EXPECT_EQ(Count(BN_CLICKED, IDC_SAVE), 1);
    EXPECT_EQ(driver->Entries(IDC_MAIN_PORT).size(), 9u);  // nothing added to the list
    EXPECT_EQ(driver->Text(IDC_MAIN_PORT), "COM5X");

    driver->Press(1023, Key::Enter);
    EXPECT_EQ(Count(BN_CLICKED, IDC_SAVE), 2);

    driver->Press(IDC_EXIT, Key::Enter);
    EXPECT_EQ(Count(BN_CLICKED, IDC_EXIT), 1);
    EXPECT_EQ(Count(BN_CLICKED, IDC_SAVE), 2);
    EXPECT_EQ(dialog.transfersIn, 0);
}

TEST_F(Form, OnlyTheUsersChoiceOfTotalIsACommand) {
    dialog.s.totalIndex = 6;
    dialog.UpdateData(false);
    driver->Select(IDC_TOTAL_PORTS, 7);
    EXPECT_EQ(Count(CBN_SELCHANGE, IDC_TOTAL_PORTS), 0);
    driver->Press(IDC_TOTAL_PORTS, Key::Down);
    driver->Press(IDC_TOTAL_PORTS, Key::Down);
    EXPECT_EQ(driver->Selection(IDC_TOTAL_PORTS), 9);
    EXPECT_EQ(Count(CBN_SELCHANGE, IDC_TOTAL_PORTS), 2);
    driver->Press(IDC_TOTAL_PORTS, Key::Up);
    EXPECT_EQ(driver->Selection(IDC_TOTAL_PORTS), 8);
    EXPECT_EQ(Count(CBN_SELCHANGE, IDC_TOTAL_PORTS), 3);
    dialog.s.totalIndex = 0;
    dialog.UpdateData(false);
    EXPECT_EQ(Count(CBN_SELCHANGE, IDC_TOTAL_PORTS), 3);
}

TEST(FormModal, EscTheCloseBoxAndExitEndTheRunWithoutATransfer) {
    const struct {
        const char* name;
        std::function<void(UiDriver&)> whileOpen;
        INT_PTR result;
    } cases[] = {
        {"Esc",
         [](UiDriver& d) {
             d.Type(1015, "33");
             d.Press(1015, Key::Escape);
         },
         IDCANCEL},
        {"close box", [](UiDriver& d) { d.CloseBox(); }, IDCANCEL},
        {"EXIT", [](UiDriver& d) { d.Click(IDC_EXIT); }, -1},  // destroyed by its handler
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormDialog dialog;
        const auto driver = MakeUiDriver(dialog);
        EXPECT_EQ(driver->RunModal([&] { c.whileOpen(*driver); }), c.result);
        EXPECT_EQ(dialog.transfersIn, 0);
        EXPECT_EQ(dialog.s.rowAddress[0], 0);
        EXPECT_EQ(dialog.GetDialogWindow(), nullptr);
    }
}

}  // namespace
}  // namespace tavirap::test
