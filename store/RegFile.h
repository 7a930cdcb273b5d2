// The text of a registry file in REGEDIT4 form, as regedit exports and
// `reg import` reads it: parsed into keys and values, changed, and written back
// with every line that was not changed kept as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/SettingsStore.h"

namespace tavirap {

struct RegValue {
    std::string name;  // "" is the key's default value, written as @
    ValueType type = kRegNone;
    std::vector<std::uint8_t> data;
};

// A value with the lines it was read from, or a comment or blank line. A value
// set since it was read has no lines and is written in its plain form.
struct RegEntry {
    bool isValue = false;
    RegValue value;
    std::vector<std::string> lines;
};

// One [key] section; repeated sections of one key are merged into the first.
struct RegSection {
    std::string path;  // as written in the file, e.g. HKEY_LOCAL_MACHINE\SYSTEM
    std::vector<RegEntry> entries;

    const RegValue* Find(std::string_view name) const;
    void Set(std::string_view name, ValueType type, std::vector<std::uint8_t> data);
};

// Key paths and value names compare as the registry compares them, without
// regard to the case of ASCII letters.
struct RegDocument {
    bool crlf = true;                   // the file's line ends; regedit writes CRLF
    std::vector<std::string> preamble;  // comment and blank lines after REGEDIT4
    std::vector<RegSection> sections;

    RegSection* FindSection(std::string_view path);
    const RegSection* FindSection(std::string_view path) const;
    // Whether the key exists: it has a section, or one of its subkeys has.
    bool KeyExists(std::string_view path) const;
    // Adds a section for the key, spelling the parts of the path that other
    // sections already name as they do.
    RegSection& AddSection(std::string_view path);
};

struct RegParseError {
    std::size_t line = 0;  // counted from 1
    std::string message;
};

inline constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE";

// Parses a REGEDIT4 text (CRLF or LF line ends). Deleting entries ([-key],
// "name"=-) and anything regedit would not read are refused with the line.
bool ParseRegFile(std::string_view text, RegDocument& document, RegParseError& error);
std::string WriteRegFile(const RegDocument& document);
// The value's line(s) in the form regedit writes, without the final line end.
std::string FormatRegValue(const RegValue& value, std::string_view lineEnd);

}  // namespace tavirap
