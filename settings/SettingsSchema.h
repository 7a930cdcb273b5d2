// The driver's key, value by value: each row says how its values are named,
// kept, defaulted, checked and shown on the dialog's form. Load, save, the
// dialog's fields, labels, lists and checks, and the command line's checks,
// --get, --set and help text are all built from these rows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/PortSettings.h"

namespace tavirap {

// The form's controls for the stored values (the dialog's template 102).
inline constexpr int IDC_MAIN_PORT = 1001;
inline constexpr int IDC_BAUD_RATE_LABEL = 1002;
inline constexpr int IDC_BAUD_RATE = 1003;
inline constexpr int IDC_PARITY = 1006;
inline constexpr int IDC_STOP_BITS = 1008;
inline constexpr int IDC_DATA_BITS = 1009;
inline constexpr int IDC_TOTAL_PORTS = 1012;
inline constexpr int IDC_FLOW_CONTROL = 1060;
// The address field and the label of each of the page's eight rows, top row first.
inline constexpr int kRowAddressIds[] = {1015, 1017, 1019, 1021, 1023, 1024, 1025, 1026};
inline constexpr int kRowLabelIds[] = {1038, 1039, 1040, 1041, 1042, 1043, 1044, 1045};

// A place on the form, in dialog units.
struct FormRect {
    int x = 0, y = 0, cx = 0, cy = 0;
};

// A field on the form and the label that names it, for the eye and for
// assistive technology.
struct FormField {
    int id;
    FormRect rect;
    std::string label;
    FormRect labelRect;
    int labelId = -1;  // -1: a label nobody addresses
};

// How the form shows a row's values; the dialog makes its controls, their
// accessible names, the lists' entries and the field exchange from it.
struct FormPart {
    enum Control {
        kNone,         // not on the form
        kNumberField,  // a field for digits; checked against the row's range
        kList,         // a drop-down list of the row's entries, by index
        kTextBox,      // a drop-down combo box: an entry of the list or any text
    };
    Control control = kNone;
    std::vector<FormField> fields{};  // the addresses: one for each row of the page
    // The record's number field i shows (numbers only): for the addresses
    // the page's row, for a list the entry's index.
    std::int32_t& (*field)(PortSettings&, int i) = nullptr;
    bool upperCase = false;       // a text box that turns letters into capitals
    bool sunken = false;          // drawn with a sunken edge
    bool centredLabel = false;    // a label whose text is centred vertically
    const char* nameSuffix = "";  // after the label in the accessible name: "address"
};

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

    // How the range message names one of the row's values ("an address");
    // null: by what the row is (about).
    const char* called = nullptr;

    FormPart form{};
};

// The rows in the order SAVE writes them, each row's values in turn.
std::span<const StoredRow> StoredRows();

// One value of the key: a row and its index in the row.
struct SchemaValue {
    const StoredRow* row;
    int index;
    std::string name;       // as read, e.g. "PortAdd3"
    std::string writeName;  // as written

    const std::string& Name() const { return name; }
    const std::string& WriteName() const { return writeName; }
};

// Every value, in SAVE's order.
const std::vector<SchemaValue>& EverySchemaValue();

// The value with this name, in any letter case and either spelling.
std::optional<SchemaValue> FindSchemaValue(std::string_view name);

// A number as both the dialog's fields and --set take it: decimal digits,
// leading zeros allowed, with one sign (+ or -) right before them and blanks
// (spaces, tabs) around; null for anything else or beyond 64 bits.
std::optional<std::int64_t> ParseNumber(std::string_view text);

// Why a number or a text would be refused on entry, in words for the user;
// empty when it is accepted. A text is refused when it is longer than its
// row keeps or holds a line break or a zero byte, which could not be read back.
std::string CheckNumber(const StoredRow& row, std::int64_t number);
std::string CheckText(const StoredRow& row, std::string_view text);

// Why the driver might not understand an accepted text: it is none of the
// list's entries. Empty when there is nothing to warn about.
std::string TextWarning(const StoredRow& row, std::string_view text);

// The number of a port the driver names "COMn" (letter case aside, digits
// without a leading zero), or 0 for any other name.
std::int64_t ComNumber(std::string_view name);

// The list's entry that the text is but for letter case ("Even Parity" for
// "even parity"), or null: the driver's spelling is the entry's.
const std::string* ListedEntry(const StoredRow& row, std::string_view text);

// What a row takes, in the words every text for users gives: "0 to 64", or
// the list's entries ("No Parity, Odd Parity or Even Parity").
std::string TakesText(const StoredRow& row);

// The values each row takes, a line each, for --help.
std::string StoredValuesHelp();

}  // namespace tavirap
