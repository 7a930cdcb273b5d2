// The text of a registry file as regedit exports and `reg import` reads it:
// REGEDIT4 (8-bit text) or version 5.00 (UTF-16LE with a byte order mark),
// parsed into keys and values, changed, and written back in the same form
// with every line that was not changed kept as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/SettingsStore.h"

namespace tavirap {

struct RegValue {
    std::string name;  // "" is the key's default value, written as @
    ValueType type = kRegNone;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue&) const = default;
};

// A value with the lines it was read from, or a run of comment and blank
// lines. A value set since it was read has no lines and is written in its
// plain form.
struct RegEntry {
    bool isValue = false;
    bool wide = false;     // read from a version 5.00 file, whose quoted texts are UTF-16 data
    std::size_t line = 0;  // where it starts in the file read, counted from 1; 0 when added since
    std::uint64_t nameHash = 0;  // of the value's name, without regard to case
    // The lines as read, line ends as they were: a view of the document's
    // text, as a file is parsed at every open and most of its values are
    // never looked at. A value's name and data are read from them when asked.
    // An entry is valid as long as its document, or a copy of it, lives.
    std::string_view read;
    std::string joined;  // a run of comment lines that a repeated [key] line interrupted
    std::shared_ptr<const RegValue> set;  // the value as set since it was read

    std::string_view Lines() const { return joined.empty() ? read : std::string_view(joined); }
    // The value (none for comment lines), and its name alone.
    RegValue Value() const;
    std::string Name() const;
};

// One [key] section; repeated sections of one key are merged into the first.
struct RegSection {
    std::string path;  // as written in the file, e.g. HKEY_LOCAL_MACHINE\SYSTEM
    std::vector<RegEntry> entries;
    std::string_view header;  // the [path] line as read, with any comment; "" for a new section
    // Where the next lookup starts: after the entry the last one found, so
    // that reading or writing a key's values in their order costs a step each.
    mutable std::size_t searchFrom = 0;
    std::size_t line = 0;  // of the first [path] line read, counted from 1; 0 for a new section

    std::optional<RegValue> Find(std::string_view name) const;
    // Whether the section changed: a value set to the type and data it has
    // keeps its lines as they were.
    bool Set(std::string_view name, ValueType type, std::vector<std::uint8_t> data);
};

enum class RegFormat {
    kRegedit4,  // "REGEDIT4": 8-bit text; a "text" value is the text's bytes
    kVersion5,  // "Windows Registry Editor Version 5.00": UTF-16LE, and so is every
                // string value's data (types 1, 2 and 7), "text" or hex
};

// Key paths and value names compare as the registry compares them, without
// regard to the case of ASCII letters.
struct RegDocument {
    RegFormat format = RegFormat::kRegedit4;
    bool crlf = true;             // the file's line ends; regedit writes CRLF
    bool utf8Mark = false;        // a REGEDIT4 text saved by an editor with a UTF-8 mark
    bool version5Header = false;  // 8-bit text under the version 5.00 header, read as REGEDIT4
    // The file's text (as UTF-8 for a version 5.00 file), which entries,
    // headers and the preamble's lines view.
    std::shared_ptr<const std::string> text;
    std::vector<std::string_view> preamble;  // comment and blank lines after REGEDIT4
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

// Larger registry files are refused without being read, wherever they come from.
inline constexpr std::size_t kMaxRegFileSize = 1024 * 1024;

// Parses a registry file's bytes (CRLF or LF line ends). Deleting entries
// ([-key], "name"=-), a value set twice in one key, NUL bytes and anything
// regedit would not read are refused with the line.
bool ParseRegFile(std::string_view text, RegDocument& document, RegParseError& error);
// The same, going on after a line it refuses: every such line's error, in
// line order.
bool ParseRegFile(std::string_view text, RegDocument& document, std::vector<RegParseError>& errors);
// The file's bytes, in the document's format.
std::string WriteRegFile(const RegDocument& document);
// The value's line(s) in the form regedit writes, without the final line end,
// as UTF-8 text (a version 5.00 file encodes its lines as UTF-16 afterwards).
std::string FormatRegValue(const RegValue& value, std::string_view lineEnd,
                           RegFormat format = RegFormat::kRegedit4);

// Whether values of this type hold text, which a version 5.00 file keeps in UTF-16.
bool IsStringType(ValueType type);
// UTF-16LE bytes from UTF-8 and back. A byte sequence that is no character
// becomes U+FFFD, as the registry's narrow calls convert; an odd last byte of
// UTF-16 is dropped.
std::string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::string_view bytes);

}  // namespace tavirap
