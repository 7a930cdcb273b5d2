// The driver's key, value by value: each row says how its values are named,
// kept, defaulted, checked and offered in the dialog's lists. Load, save, the
// dialog's field checks and lists, and the command line's checks, --get,
// --set and help text are all built from these rows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/PortSettings.h"

namespace tavirap {

inline constexpr std::int32_t kMinAddress = 0;
inline constexpr std::int32_t kMaxAddress = 64;

// One row of the key: a number (REG_DWORD) or a text (REG_SZ at a fixed size).
struct StoredRow {
    enum Kind { kNumber, kText };

    const char* name;       // as read; with count > 1 the prefix of name1 ... nameN
    const char* writeName;  // as written: "FLow Control" is what the driver has always been given
    Kind kind;
    int count;           // values in the row: 64 for the addresses, else 1
    std::uint32_t size;  // bytes stored; a text no longer than this is accepted
    const char* about;   // what it is, for --help

    // Numbers: value i of the record as stored, setting it from a stored
    // number, its fallback when none is stored, and the range entered values
    // must keep to when the row has no list.
    std::int32_t (*number)(const PortSettings&, int i) = nullptr;
    void (*setNumber)(PortSettings&, int i, std::int32_t) = nullptr;
    std::int32_t (*fallback)(int i) = nullptr;
    std::int64_t min = 0, max = 0;

    // Texts: the record's member and its default.
    std::string PortSettings::*member = nullptr;
    const char* defaultText = nullptr;

    // The dialog's list for the value. A number must be one of its entries;
    // a text that is none of them, compared whole and ignoring case, is
    // warned about unless the driver understands it anyway.
    std::vector<std::string> entries{};
    bool (*understood)(std::string_view text) = nullptr;
    const char* understoodText = nullptr;  // the same in words, for --help
};

// In the order SAVE writes them: PortAdd1 ... PortAdd64, MaxPort, DataBit,
// StopBit, Parity, TRxPort, BaudRate, Flow Control.
std::span<const StoredRow> StoredRows();

// One value of the key: a row and its index in the row.
struct SchemaValue {
    const StoredRow* row;
    int index;

    std::string Name() const;       // as read, e.g. "PortAdd3"
    std::string WriteName() const;  // as written
};

// Every value, in SAVE's order.
std::vector<SchemaValue> EverySchemaValue();

// The value with this name, in any letter case and either spelling.
std::optional<SchemaValue> FindSchemaValue(std::string_view name);

// The row that keeps this member of the record.
const StoredRow& TextRowOf(std::string PortSettings::*member);

// Why a number or a text would be refused on entry, in words for the user;
// empty when it is accepted. A text is refused when it is longer than its
// row keeps or holds a line break or a zero byte, which could not be read back.
std::string CheckNumber(const StoredRow& row, std::int64_t number);
std::string CheckText(const StoredRow& row, std::string_view text);

// Why the driver might not understand an accepted text: it is none of the
// list's entries. Empty when there is nothing to warn about.
std::string TextWarning(const StoredRow& row, std::string_view text);

// The list's entry that the text is but for letter case ("Even Parity" for
// "even parity"), or null: the driver's spelling is the entry's.
const std::string* ListedEntry(const StoredRow& row, std::string_view text);

// What a row takes, in the words every text for users gives: "0 to 64", or
// the list's entries ("No Parity, Odd Parity or Even Parity").
std::string TakesText(const StoredRow& row);

// The values each row takes, a line each, for --help.
std::string StoredValuesHelp();

}  // namespace tavirap
