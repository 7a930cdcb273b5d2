// The running dialog's scenarios as data: what the user does, what the form
// then shows and what the driver's key then holds. A driver per toolkit
// carries the steps out on the real controls, so the Linux and Windows builds
// run one list.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "store/SettingsStore.h"

namespace tavirap::test {

enum class Key { Enter, Escape, Up, Down };

// What a toolkit's test must provide: the dialog running on a store, and the
// user's hands on its controls.
class DialogDriver {
public:
    virtual ~DialogDriver() = default;

    // Opens the dialog on the store given to the driver; returns when it shows.
    virtual void Open() = 0;
    virtual bool IsOpen() const = 0;

    virtual void Click(int id) = 0;
    // Focuses the field, selects its text and types over it.
    virtual void Type(int id, const std::string& text) = 0;
    // Focuses the control and presses the key.
    virtual void Press(int id, Key key) = 0;
    // Chooses a list entry with the mouse.
    virtual void Choose(int id, int index) = 0;

    virtual std::string Text(int id) const = 0;
    virtual int FocusedId() const = 0;
    virtual bool TextSelected(int id) const = 0;
    // The message boxes shown so far, each answered with OK.
    virtual int MessageCount() const = 0;
};

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

inline void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

// Seeds the store, opens the dialog through the driver and runs the steps,
// reporting each failed check through GoogleTest.
void RunScenario(const Scenario& scenario, DialogDriver& driver, SettingsStore& store);

}  // namespace tavirap::test
