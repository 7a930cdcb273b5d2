// The running dialog's scenarios, read from data/scenarios.txt: what the user
// does, what the form then shows and what the driver's key then holds. Each
// toolkit's UiDriver carries the steps out on the real controls, so the Linux
// and Windows builds run one list.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "store/SettingsStore.h"

namespace tavirap::test {

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
    std::vector<Step> seeds{};
    std::vector<Step> steps{};
};

// Every scenario of the file; one without steps, named "unreadable", when
// there are none.
std::vector<Scenario> DialogScenarios();

inline void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

// Seeds the store, opens the dialog on it through the toolkit's driver and
// runs the steps, reporting each failed check through GoogleTest.
void RunScenario(const Scenario& scenario, SettingsStore& store);

}  // namespace tavirap::test
