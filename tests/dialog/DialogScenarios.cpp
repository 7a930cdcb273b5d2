#include "tests/dialog/DialogScenarios.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/SaveJob.h"
#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "settings/SettingsSchema.h"
#include "tests/framework/UiDriver.h"
#include "tests/store/Bytes.h"
#include "tests/store/ReadOnlyStore.h"

namespace tavirap::test {
namespace {

// One line of a scenario: its first word, the control it names (0: none), and
// the rest: a value's name, a number or a text.
struct Step {
    std::string op{};
    int id = 0;
    std::string name{};
    std::string text{};
    int line = 0;
};

struct Scenario {
    std::string name{};
    bool keyExists = true;
    bool readOnly = false;    // the user may read the key, not write it
    std::string platform{};   // the one platform it runs on, or any
    std::string elevation{};  // how SAVE's run with administrator rights ends
    std::vector<Step> seeds{};
    std::vector<Step> steps{};
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

}  // namespace

int ControlId(const std::string& name) {
    static const std::map<std::string, int> controls = [] {
        std::map<std::string, int> ids = {{"SAVE", IDC_SAVE},
                                          {"EXIT", IDC_EXIT},
                                          {"NEXT", IDC_NEXT_PAGE},
                                          {"PREV", IDC_PREV_PAGE},
                                          {"TOTAL", IDC_TOTAL_PORTS},
                                          {"PARITY", IDC_PARITY},
                                          {"MAIN-PORT", IDC_MAIN_PORT},
                                          {"BAUD-RATE", IDC_BAUD_RATE},
                                          {"STOP-BITS", IDC_STOP_BITS},
                                          {"DATA-BITS", IDC_DATA_BITS},
                                          {"FLOW-CONTROL", IDC_FLOW_CONTROL}};
        for (int row = 0; row < 8; ++row) {
            ids["ROW" + std::to_string(row + 1)] = kRowAddressIds[row];
            ids["LABEL" + std::to_string(row + 1)] = kRowLabelIds[row];
        }
        return ids;
    }();
    const auto found = controls.find(name);
    return found != controls.end() ? found->second : -1;
}

namespace {

// The next word, or a name in double quotes.
std::string Word(std::istream& in) {
    std::string word;
    in >> std::quoted(word);
    return word;
}

Step ParseStep(const std::string& line, int number) {
    std::istringstream in(line);
    Step step{Word(in), 0, "", "", number};
    if (step.op.starts_with("seed") || step.op.starts_with("stored") ||
        step.op == "other-program") {
        step.name = Word(in);
    } else if (step.op != "messages" && step.op != "open" && step.op != "message" &&
               step.op != "answer") {
        const std::string control = Word(in);
        step.id = control.empty() ? 0 : ControlId(control);
    }
    std::getline(in >> std::ws, step.text);
    if (const auto at = step.text.find("\\n"); at != std::string::npos) {
        step.text.replace(at, 2, "\n");  // a line break in a text
    }
    return step;
}

// A value as the key holds it, as "type:bytes", or why it cannot be read.
std::string Stored(SettingsStore& store, const std::string& name) {
    std::unique_ptr<SettingsKey> key;
    StoreResult result = store.OpenKeyReadOnly(kServiceKeyPath, key);
    ValueType type = kRegNone;
    Bytes data(256);
    auto size = static_cast<std::uint32_t>(data.size());
    result = result.Ok() ? key->QueryValue(name, &type, data.data(), size) : result;
    return result.Ok() ? std::to_string(type) + ":" + std::string(data.begin(), data.begin() + size)
                       : "status " + std::to_string(result.Code());
}

// Every value the dialog writes: what "nothing was written" is checked on.
std::map<std::string, std::string> Snapshot(SettingsStore& store) {
    std::map<std::string, std::string> values;
    for (const SchemaValue& value : EverySchemaValue()) {
        values[value.Name()] = Stored(store, value.Name());
    }
    return values;
}

// Every scenario of the file; one without steps when there are none.
std::vector<Scenario> DialogScenarios() {
    std::vector<Scenario> scenarios;
    std::ifstream file(TAVIRAP_DIALOG_DATA "/scenarios.txt");
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.starts_with("scenario ")) {
            scenarios.push_back({line.substr(9)});
        } else if (scenarios.empty()) {
            break;
        } else if (line == "no-key") {
            scenarios.back().keyExists = false;
        } else if (line == "read-only") {
            scenarios.back().readOnly = true;
        } else if (line.starts_with("only ")) {
            scenarios.back().platform = line.substr(5);
        } else if (line.starts_with("elevation ")) {
            scenarios.back().elevation = line.substr(10);
        } else {
            const Step step = ParseStep(line, number);
            (step.op.starts_with("seed") ? scenarios.back().seeds : scenarios.back().steps)
                .push_back(step);
        }
    }
    return scenarios.empty() ? std::vector<Scenario>{{"unreadable"}} : scenarios;
}

// Writes one value as another program would, while the dialog is open.
void WriteValue(SettingsStore& store, const Step& step) {
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
    const bool number = step.op != "seed-text";
    const Bytes data = number ? Dword(std::stoi(step.text)) : Sz(step.text);
    ASSERT_EQ(key->SetValue(step.name, number ? kRegDword : kRegSz, data.data(),
                            static_cast<std::uint32_t>(data.size())),
              status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);
}

class Scenarios : public ::testing::TestWithParam<Scenario> {};

// Seeds the store, opens the dialog on it through the toolkit's driver and
// runs the steps; every message box not checked by a step must be a warning
// with OK.
TEST_P(Scenarios, Run) {
    const Scenario& scenario = GetParam();
    ASSERT_FALSE(scenario.steps.empty()) << "no steps; is " TAVIRAP_DIALOG_DATA " readable?";
#ifdef _WIN32
    if (scenario.platform == "linux") {
#else
    if (scenario.platform == "windows") {
#endif
        GTEST_SKIP() << scenario.platform << " only";
    }
    const std::unique_ptr<SettingsStore> owned = MakeScenarioStore(scenario.name);
    SettingsStore& store = *owned;
    std::vector<std::string> ports;
    if (scenario.keyExists) {
        for (const Step& seed : scenario.seeds) {
            if (seed.op == "seed-port") {
                ports.push_back(seed.name);
            } else {
                WriteValue(store, seed);
            }
        }
        if (scenario.seeds.empty()) {
            std::unique_ptr<SettingsKey> key;
            ASSERT_EQ(store.CreateKey(kServiceKeyPath, key), status::kSuccess);
        }
    }
    const std::shared_ptr<void> planted = PlantComPorts(ports);
    ReadOnlyStore readOnly(store);
    SettingsStore& dialogStore = scenario.readOnly ? readOnly : store;
    const std::unique_ptr<Elevation> rights = MakeFakeElevation(scenario.elevation, store);
    CPortSetupDlg dialog(dialogStore, *rights);
    const std::unique_ptr<UiDriver> ui = MakeUiDriver(dialog);
    UiDriver& driver = *ui;
    driver.Open();
    std::map<std::string, std::string> snapshot;
    std::size_t checkedBoxes = 0;  // the boxes "message" steps looked at
    for (const Step& step : scenario.steps) {
        SCOPED_TRACE("scenarios.txt line " + std::to_string(step.line));
        ASSERT_NE(step.id, -1) << "no such control";
        const auto number = [&] { return std::stoi(step.text); };
        const auto expect = [&](auto actual, auto expected) {
            driver.WaitFor([&] { return actual() == expected; });
            EXPECT_EQ(actual(), expected);
        };
        if (step.op == "click") {
            driver.Click(step.id);
        } else if (step.op == "type") {
            driver.Type(step.id, step.text);
        } else if (step.op == "press") {
            const std::string keys[] = {"Enter", "Escape", "Up", "Down"};  // as Key has them
            const auto key = std::ranges::find(keys, step.text) - std::begin(keys);
            ASSERT_LT(key, 4) << step.text;
            driver.Press(step.id, static_cast<Key>(key));
        } else if (step.op == "choose") {
            driver.Choose(step.id, number());
        } else if (step.op == "close-box") {
            driver.CloseBox();
        } else if (step.op == "text") {
            expect([&] { return driver.Text(step.id); }, step.text);
        } else if (step.op == "focus") {
            expect([&] { return driver.FocusedId(); }, step.id);
        } else if (step.op == "messages") {
            expect([&] { return driver.Boxes().size(); }, static_cast<std::size_t>(number()));
        } else if (step.op == "open") {
            expect([&] { return driver.IsOpen(); }, number() != 0);
        } else if (step.op == "stored") {
            const Bytes dword = Dword(number());
            EXPECT_EQ(Stored(store, step.name), "4:" + std::string(dword.begin(), dword.end()));
        } else if (step.op == "stored-text") {
            const std::string value = Stored(store, step.name);
            EXPECT_EQ(value.substr(0, value.find('\0')), "1:" + step.text);
        } else if (step.op == "other-program") {
            WriteValue(store, step);
        } else if (step.op == "answer") {
            const std::string answers[] = {"yes", "no", "cancel", "escape", "enter"};  // as Answer
            const auto answer = std::ranges::find(answers, step.text) - std::begin(answers);
            ASSERT_LT(answer, 5) << step.text;
            driver.AnswerQuestionsWith(static_cast<Answer>(answer));
        } else if (step.op == "message") {
            driver.WaitFor([&] { return driver.Boxes().size() > checkedBoxes; });
            ASSERT_GT(driver.Boxes().size(), checkedBoxes);
            checkedBoxes = driver.Boxes().size();
            for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 4) {
                end = step.text.find(" && ", start);
                EXPECT_NE(driver.Boxes().back().text.find(step.text.substr(start, end - start)),
                          std::string::npos)
                    << driver.Boxes().back().text;
            }
            EXPECT_TRUE(driver.Boxes().back().overShownDialog) << "before the dialog showed";
        } else if (step.op == "snapshot") {
            snapshot = Snapshot(store);
        } else if (step.op == "unchanged") {
            EXPECT_EQ(Snapshot(store), snapshot);
        } else {
            FAIL() << "unknown step " << step.op;
        }
    }
    for (std::size_t i = checkedBoxes; i < driver.Boxes().size(); ++i) {
        EXPECT_TRUE(driver.Boxes()[i].warningWithOk) << driver.Boxes()[i].text;
    }
}

INSTANTIATE_TEST_SUITE_P(Dialog, Scenarios, ::testing::ValuesIn(DialogScenarios()),
                         [](const auto& info) { return info.param.name; });

}  // namespace

// Ends as pkexec or the UAC prompt would, or runs the save job on the store
// as the program started with rights would.
class FakeElevation : public Elevation {
public:
    FakeElevation(std::string how, SettingsStore& store) : how_(std::move(how)), store_(store) {}

    ElevatedRun Run(const std::vector<std::string>& args, const std::string& input) override {
        using Outcome = ElevatedRun::Outcome;
        static const std::map<std::string, ElevatedRun> kEndings = {
            {"dismissed", {Outcome::kDismissed, 126, ""}},
            {"refused", {Outcome::kNotAuthorised, 127, "Not authorized"}},
            {"no-agent", {Outcome::kUnavailable, 127, "No authentication agent found."}},
            {"none", {Outcome::kUnavailable, 0, "/usr/bin/pkexec could not be started"}}};
        if (const auto ending = kEndings.find(how_); ending != kEndings.end()) {
            return ending->second;
        }
        if (how_.starts_with("exit-")) {
            return {Outcome::kExited, std::stoi(how_.substr(5)), ""};
        }
        Console io;
        io.readInput = [&](std::string& text, std::size_t limit) {
            text = input.substr(0, limit + 1);
            return true;
        };
        const int exitCode = RunSaveJob(args, store_, io);
        return {Outcome::kExited, exitCode, io.err};
    }

    bool CanAsk() const override { return how_ != "none"; }

private:
    std::string how_;
    SettingsStore& store_;
};

std::unique_ptr<Elevation> MakeFakeElevation(const std::string& how, SettingsStore& store) {
    return std::make_unique<FakeElevation>(how, store);
}

}  // namespace tavirap::test
