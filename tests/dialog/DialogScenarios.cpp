#include "tests/dialog/DialogScenarios.h"

#include <gtest/gtest.h>

#include <map>

#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "tests/store/Bytes.h"

namespace tavirap::test {

namespace {

Step Click(int id) {
    return {.op = Step::kClick, .id = id};
}
Step Type(int id, std::string text) {
    return {.op = Step::kType, .id = id, .text = std::move(text)};
}
Step Press(int id, Key key) {
    return {.op = Step::kPress, .id = id, .key = key};
}
Step Choose(int id, int entry) {
    return {.op = Step::kChoose, .id = id, .number = entry};
}
Step ExpectText(int id, std::string text) {
    return {.op = Step::kExpectText, .id = id, .text = std::move(text)};
}
Step ExpectFocus(int id) {
    return {.op = Step::kExpectFocus, .id = id};
}
Step ExpectMessages(int count) {
    return {.op = Step::kExpectMessages, .number = count};
}
Step ExpectOpen(bool open) {
    return {.op = Step::kExpectOpen, .number = open ? 1 : 0};
}
Step ExpectStored(std::string name, std::int32_t number) {
    return {.op = Step::kExpectStored, .text = std::move(name), .number = number};
}
Step ExpectStoredText(std::string name, std::string text) {
    return {.op = Step::kExpectStoredText, .text = std::move(name), .expected = std::move(text)};
}
Step Snapshot() {
    return {.op = Step::kSnapshot};
}
Step ExpectUnchanged() {
    return {.op = Step::kExpectUnchanged};
}

Seed Number(std::string name, std::int32_t number) {
    return {.name = std::move(name), .number = number};
}
Seed Text(std::string name, std::string text) {
    return {.name = std::move(name), .text = std::move(text)};
}

int Row(int row) {
    return kRowAddressIds[row];
}
int Label(int row) {
    return kRowLabelIds[row];
}
Step ExpectPage(const char* firstLabel) {
    return ExpectText(Label(0), firstLabel);
}

// Every value the dialog writes: what "nothing was written" is checked on.
std::vector<std::string> KeyValueNames() {
    std::vector<std::string> names;
    for (int port = 1; port <= 64; ++port) {
        names.push_back("PortAdd" + std::to_string(port));
    }
    for (const char* name :
         {"MaxPort", "DataBit", "StopBit", "Parity", "TRxPort", "BaudRate", "Flow Control"}) {
        names.emplace_back(name);
    }
    return names;
}

struct RawValue {
    Status status = status::kSuccess;
    ValueType type = kRegNone;
    std::vector<std::uint8_t> data;
    bool operator==(const RawValue&) const = default;
};

RawValue ReadRaw(SettingsStore& store, const std::string& name) {
    RawValue value;
    std::unique_ptr<SettingsKey> key;
    value.status = store.OpenKeyReadOnly(kServiceKeyPath, key);
    if (value.status != status::kSuccess) {
        return value;
    }
    value.data.resize(256);
    auto size = static_cast<std::uint32_t>(value.data.size());
    value.status = key->QueryValue(name, &value.type, value.data.data(), size);
    value.data.resize(value.status == status::kSuccess ? size : 0);
    key->Close();
    return value;
}

void SeedStore(const Scenario& scenario, SettingsStore& store) {
    if (!scenario.keyExists) {
        return;
    }
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
    for (const Seed& seed : scenario.seeds) {
        std::vector<std::uint8_t> data;
        ValueType type = kRegSz;
        if (seed.number) {
            data = Dword(*seed.number);
            type = kRegDword;
        } else {
            data = Sz(seed.text);
        }
        ASSERT_EQ(
            key->SetValue(seed.name, type, data.data(), static_cast<std::uint32_t>(data.size())),
            status::kSuccess);
    }
    ASSERT_EQ(key->Close(), status::kSuccess);
}

}  // namespace

const std::vector<Scenario>& DialogScenarios() {
    const std::string longParity = "Mark Parity with extra details";  // 30 characters
    static const std::vector<Scenario> scenarios = {
        {"StartWithoutKey",
         false,
         {},
         {ExpectOpen(true), ExpectMessages(0), ExpectStored("PortAdd1", 1),
          ExpectStored("PortAdd64", 64), ExpectStored("MaxPort", 8),
          ExpectStoredText("DataBit", "8"), ExpectStoredText("StopBit", "1"),
          ExpectStoredText("Parity", "No Parity"), ExpectStoredText("TRxPort", "COM1"),
          ExpectStoredText("BaudRate", "9600"), ExpectStoredText("Flow Control", "Hardware"),
          ExpectText(IDC_TOTAL_PORTS, "8"), ExpectPage("SERIAL1"), ExpectText(Row(7), "8"),
          ExpectText(IDC_PARITY, "No Parity"), ExpectFocus(IDC_SAVE)}},
        {"SaveOnPageThree",
         true,
         {Number("MaxPort", 64)},
         {Click(IDC_NEXT_PAGE), Click(IDC_NEXT_PAGE), Click(IDC_NEXT_PAGE), ExpectPage("SERIAL25"),
          ExpectText(Label(1), "SERIAL26"), Type(Row(1), "17"), Click(IDC_SAVE), ExpectMessages(0),
          ExpectOpen(true), ExpectStored("PortAdd26", 17), ExpectStored("PortAdd25", 25),
          ExpectStored("PortAdd27", 27), ExpectStored("PortAdd1", 1), ExpectStored("MaxPort", 64)}},
        {"OutOfRangeAddressBlocksSave",
         true,
         {},
         {Snapshot(), Type(Row(2), "70"), Click(IDC_SAVE), ExpectMessages(1), ExpectFocus(Row(2)),
          ExpectUnchanged(), ExpectPage("SERIAL1"), ExpectOpen(true)}},
        {"OutOfRangeAddressBlocksPaging",
         true,
         {Number("MaxPort", 16)},
         {Snapshot(), Type(Row(2), "70"), Click(IDC_NEXT_PAGE), ExpectMessages(1),
          ExpectFocus(Row(2)), ExpectPage("SERIAL1"), Type(Row(2), "5"), Click(IDC_NEXT_PAGE),
          ExpectMessages(1), ExpectPage("SERIAL9"), Click(IDC_PREV_PAGE), ExpectText(Row(2), "5"),
          ExpectUnchanged()}},
        {"OutOfRangeAddressBlocksNewTotal",
         true,
         {},
         {Snapshot(), Type(Row(2), "70"), Choose(IDC_TOTAL_PORTS, 9), ExpectMessages(1),
          ExpectFocus(Row(2)), ExpectText(IDC_TOTAL_PORTS, "64"), ExpectPage("SERIAL1"),
          ExpectText(Row(2), "70"), Type(Row(2), "3"), Click(IDC_NEXT_PAGE), ExpectMessages(1),
          ExpectPage("SERIAL9"), ExpectUnchanged(), Click(IDC_SAVE), ExpectStored("MaxPort", 64)}},
        {"PagingWrapsAround",
         true,
         {Number("MaxPort", 24), Number("PortAdd17", 40)},
         {Click(IDC_NEXT_PAGE), ExpectPage("SERIAL9"), Click(IDC_NEXT_PAGE), ExpectPage("SERIAL17"),
          ExpectText(Row(0), "40"), Click(IDC_NEXT_PAGE), ExpectPage("SERIAL1"),
          Click(IDC_PREV_PAGE), ExpectPage("SERIAL17"), Click(IDC_PREV_PAGE),
          ExpectPage("SERIAL9")}},
        {"TotalChangedOnALaterPage",
         true,
         {Number("MaxPort", 64)},
         {Click(IDC_NEXT_PAGE), Click(IDC_NEXT_PAGE), Click(IDC_NEXT_PAGE), Click(IDC_NEXT_PAGE),
          Click(IDC_NEXT_PAGE), ExpectPage("SERIAL41"), Choose(IDC_TOTAL_PORTS, 3),
          ExpectPage("SERIAL41"), Click(IDC_NEXT_PAGE), ExpectPage("SERIAL1"), Click(IDC_PREV_PAGE),
          ExpectPage("SERIAL9")}},
        {"ArrowKeysStepTheTotal",
         true,
         {Number("MaxPort", 16)},
         {Press(IDC_TOTAL_PORTS, Key::Down), ExpectText(IDC_TOTAL_PORTS, "24"),
          Press(IDC_TOTAL_PORTS, Key::Down), ExpectText(IDC_TOTAL_PORTS, "32"),
          Click(IDC_PREV_PAGE), ExpectPage("SERIAL25"), Press(IDC_TOTAL_PORTS, Key::Up),
          Press(IDC_TOTAL_PORTS, Key::Up), Press(IDC_TOTAL_PORTS, Key::Up),
          ExpectText(IDC_TOTAL_PORTS, "8"), ExpectPage("SERIAL25"), Click(IDC_NEXT_PAGE),
          ExpectPage("SERIAL1"), ExpectMessages(0)}},
        {"TwoAndFourPortsKeepTheOtherAddresses",
         true,
         {Number("PortAdd3", 33), Number("PortAdd7", 47)},
         {Choose(IDC_TOTAL_PORTS, 0), ExpectText(Label(2), ""), ExpectText(Row(2), "0"),
          ExpectText(Label(1), "SERIAL2"), Choose(IDC_TOTAL_PORTS, 1),
          ExpectText(Label(3), "SERIAL4"), ExpectText(Row(2), "33"), ExpectText(Label(6), ""),
          ExpectText(Row(6), "0"), Choose(IDC_TOTAL_PORTS, 2), ExpectText(Row(6), "47"),
          Choose(IDC_TOTAL_PORTS, 0), Click(IDC_SAVE), ExpectStored("MaxPort", 2),
          ExpectStored("PortAdd3", 33), ExpectStored("PortAdd7", 47)}},
        {"EscapeWritesNothing",
         true,
         {},
         {Snapshot(), Type(Row(0), "9"), Type(IDC_BAUD_RATE, "19200"), Press(Row(0), Key::Escape),
          ExpectOpen(false), ExpectUnchanged()}},
        {"ExitWritesNothing",
         true,
         {},
         {Snapshot(), Type(Row(0), "9"), Choose(IDC_TOTAL_PORTS, 9), Click(IDC_EXIT),
          ExpectOpen(false), ExpectUnchanged(), ExpectMessages(0)}},
        {"EnterInAnAddressFieldSaves",
         true,
         {},
         {Type(Row(0), "9"), Press(Row(0), Key::Enter), ExpectOpen(true), ExpectMessages(0),
          ExpectStored("PortAdd1", 9)}},
        {"EnterOnExitCloses",
         true,
         {},
         {Snapshot(), Type(Row(0), "9"), Press(IDC_EXIT, Key::Enter), ExpectOpen(false),
          ExpectUnchanged()}},
        {"LongStoredParityBlocksEveryCommand",
         true,
         {Text("Parity", longParity)},
         {ExpectText(IDC_PARITY, longParity), Snapshot(), Click(IDC_SAVE), ExpectMessages(1),
          ExpectFocus(IDC_PARITY), Click(IDC_NEXT_PAGE), ExpectMessages(2),
          Choose(IDC_TOTAL_PORTS, 3), ExpectMessages(3), ExpectPage("SERIAL1"), ExpectUnchanged(),
          Type(IDC_PARITY, "Odd Parity"), Click(IDC_SAVE), ExpectMessages(3),
          ExpectStoredText("Parity", "Odd Parity"), ExpectStored("MaxPort", 16)}},
        {"TypedTextsAreStoredAsTyped",
         true,
         {},
         {Type(IDC_PARITY, "odd parity"), Type(IDC_MAIN_PORT, "com7"), Click(IDC_SAVE),
          ExpectMessages(0), ExpectStoredText("Parity", "odd parity"),
          ExpectStoredText("TRxPort", "COM7")}},
        {"StopBitsOverTwoCharactersAreRefused",
         true,
         {},
         {Snapshot(), Type(IDC_STOP_BITS, "1.5"), Click(IDC_SAVE), ExpectMessages(1),
          ExpectFocus(IDC_STOP_BITS), ExpectUnchanged()}},
    };
    return scenarios;
}

void RunScenario(const Scenario& scenario, SettingsStore& store) {
    SeedStore(scenario, store);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    CPortSetupDlg dialog(store);
    const std::unique_ptr<UiDriver> ui = MakeUiDriver(dialog);
    UiDriver& driver = *ui;
    driver.Open();
    std::map<std::string, RawValue> snapshot;
    for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& step = scenario.steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1));
        switch (step.op) {
            case Step::kClick:
                driver.Click(step.id);
                break;
            case Step::kType:
                driver.Type(step.id, step.text);
                break;
            case Step::kPress:
                driver.Press(step.id, step.key);
                break;
            case Step::kChoose:
                driver.Choose(step.id, step.number);
                break;
            case Step::kExpectText:
                EXPECT_EQ(driver.Text(step.id), step.text) << "control " << step.id;
                break;
            case Step::kExpectFocus:
                EXPECT_EQ(driver.FocusedId(), step.id);
                if (std::find(std::begin(kRowAddressIds), std::end(kRowAddressIds), step.id) !=
                    std::end(kRowAddressIds)) {
                    EXPECT_TRUE(driver.TextSelected(step.id)) << "control " << step.id;
                }
                break;
            case Step::kExpectMessages:
                EXPECT_EQ(driver.Boxes().size(), static_cast<std::size_t>(step.number));
                break;
            case Step::kExpectOpen:
                EXPECT_EQ(driver.IsOpen(), step.number != 0);
                break;
            case Step::kExpectStored: {
                EXPECT_EQ(ReadRaw(store, step.text),
                          (RawValue{status::kSuccess, kRegDword, Dword(step.number)}))
                    << step.text;
                break;
            }
            case Step::kExpectStoredText: {
                const RawValue value = ReadRaw(store, step.text);
                ASSERT_EQ(value.status, status::kSuccess) << step.text;
                EXPECT_EQ(value.type, kRegSz) << step.text;
                const auto end = std::find(value.data.begin(), value.data.end(), 0);
                EXPECT_EQ(std::string(value.data.begin(), end), step.expected) << step.text;
                break;
            }
            case Step::kSnapshot:
                for (const std::string& name : KeyValueNames()) {
                    snapshot[name] = ReadRaw(store, name);
                }
                break;
            case Step::kExpectUnchanged:
                for (const std::string& name : KeyValueNames()) {
                    EXPECT_EQ(ReadRaw(store, name), snapshot[name]) << name;
                }
                break;
        }
    }
    for (const Box& box : driver.Boxes()) {
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONEXCLAMATION)) << box.text;
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK}) << box.text;
    }
}

}  // namespace tavirap::test
