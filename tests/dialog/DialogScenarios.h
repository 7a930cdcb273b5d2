// The running dialog's scenarios as data: what the user does, what the form
// then shows and what the driver's key then holds. Each toolkit's UiDriver
// carries the steps out on the real controls, so the Linux and Windows builds
// run one list.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "store/SettingsStore.h"
#include "tests/framework/UiDriver.h"

namespace tavirap::test {

// One step: an action of the user's or a check.
struct Step {
    enum Op {
        kClick,             // id
        kType,              // id, text
        kPress,             // id, key
        kChoose,            // id, number = entry
        kExpectText,        // id, text
        kExpectFocus,       // id, with its text selected when it is an address field
        kExpectMessages,    // number = count so far
        kExpectOpen,        // number = 1 open, 0 closed
        kExpectStored,      // text = value name, number (a REG_DWORD)
        kExpectStoredText,  // text = value name, expected = the text up to its first zero
        kSnapshot,          // remembers every value of the key
        kExpectUnchanged,   // every value of the key as at the snapshot
    };
    Op op;
    int id = 0;
    std::string text{};
    std::int32_t number = 0;
    Key key = Key::Enter;
    std::string expected{};
};

// A value put into the key before the dialog opens.
struct Seed {
    std::string name{};
    std::optional<std::int32_t> number{};
    std::string text{};
};

struct Scenario {
    std::string name{};
    bool keyExists = true;  // false: the dialog starts with no key at all
    std::vector<Seed> seeds{};
    std::vector<Step> steps{};
};

const std::vector<Scenario>& DialogScenarios();

inline void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

// Seeds the store, opens the dialog on it through the toolkit's driver and
// runs the steps, reporting each failed check through GoogleTest. Every
// message box must be a warning with OK.
void RunScenario(const Scenario& scenario, SettingsStore& store);

}  // namespace tavirap::test
