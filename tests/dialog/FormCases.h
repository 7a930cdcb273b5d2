// The configuration form's cases that every toolkit's form test runs on its
// real controls: a record unlike the defaults, the fields in exchange order,
// each check failing at its place, choosing by prefix, and typing.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "settings/PortSettings.h"

namespace tavirap::test {

// A record that passes every check and differs from the defaults everywhere.
inline PortSettings OtherSettings() {
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
inline std::vector<std::string> FieldsInOrder(const PortSettings& s) {
    std::vector<std::string> fields;
    for (std::int32_t a : s.rowAddress) {
        fields.push_back(std::to_string(a));
    }
    fields.insert(fields.end(), {s.baudRate, s.dataBits, std::to_string(s.totalIndex)});
    fields.insert(fields.end(), s.rowLabel.begin(), s.rowLabel.end());
    fields.insert(fields.end(), {s.stopBits, s.mainPort, s.parity, s.flowControl});
    return fields;
}

// A text put into a control (by code) that fails its check on the way in.
struct FailureCase {
    const char* name;
    int control;
    const char* text;
    std::size_t position;  // in the exchange order
    const char* taken;     // what the field holds afterwards; null: its old value
    const char* message;
};

inline const FailureCase kFailureCases[] = {
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

// What each field holds after a failure: the new values before the failing
// field, the failing one's as taken, the old ones after it.
inline std::vector<std::string> FieldsAfterFailure(const FailureCase& c, const PortSettings& before,
                                                   const PortSettings& after) {
    const std::vector<std::string> taken = FieldsInOrder(before);
    std::vector<std::string> fields = FieldsInOrder(after);
    for (std::size_t i = 0; i < c.position; ++i) {
        fields[i] = taken[i];
    }
    if (c.taken != nullptr) {
        fields[c.position] = c.taken;
    }
    return fields;
}

// A text shown in a combo box with an edit field, and what comes back in.
struct PrefixCase {
    int control;
    std::string PortSettings::*field;
    const char* shown;
    int index;  // the entry chosen
    const char* readBack;
};

inline const PrefixCase kPrefixCases[] = {
    {1001, &PortSettings::mainPort, "com2", 1, "COM2"},
    {1003, &PortSettings::baudRate, "1", 1, "1200"},
    {1006, &PortSettings::parity, "even", 2, "Even Parity"},
    {1006, &PortSettings::parity, "Mark", 2, "Mark"},  // no entry: the edit field only
    {1060, &PortSettings::flowControl, "", 0, "Hardware"},
};

// Keys typed into an empty field, and what it then shows.
struct TypingCase {
    int control;
    const char* typed;
    const char* shown;
};

inline const TypingCase kTypingCases[] = {
    {1001, "com7", "COM7"}, {1003, "9600n", "9600N"}, {1006, "odd", "odd"},
    {1015, "1a2", "12"},    {1017, "-3", "3"},
};

}  // namespace tavirap::test
