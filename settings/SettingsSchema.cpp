#include "settings/SettingsSchema.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "settings/Text.h"

namespace tavirap {

namespace {

// A number as a name or a stored text spells it ("PortAdd3", "COM12",
// "9600"): digits alone, without sign, blank or leading zero.
std::optional<std::int64_t> Decimal(std::string_view text) {
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == text.npos &&
                        (text.size() == 1 || text[0] != '0');
    return digits ? ParseNumber(text) : std::nullopt;
}

// Ports the driver opens by name beyond the dialog's list: COM1 to COM256.
bool IsComPort(std::string_view text) {
    const std::int64_t number = ComNumber(text);
    return number >= 1 && number <= 256;
}

// Any whole rate: the driver takes rates beyond the dialog's list.
bool IsWholeRate(std::string_view text) {
    return Decimal(text).has_value();
}

std::vector<std::string> MaxPortEntries() {
    std::vector<std::string> entries;
    for (std::int32_t index = 0; index < kTotalEntries; ++index) {
        entries.push_back(std::to_string(MaxPortFromIndex(index)));
    }
    return entries;
}

std::string Joined(const std::vector<std::string>& entries, const char* last) {
    std::string text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == entries.size() ? last : ", ") + entries[i];
    }
    return text;
}

StoredRow Text(const char* name, const char* writeName, std::uint32_t size, const char* about,
               std::string PortSettings::*member, const char* defaultText,
               std::vector<std::string> entries, FormPart form,
               bool (*understood)(std::string_view) = nullptr,
               const char* understoodText = nullptr) {
    StoredRow row{name, writeName, StoredRow::kText, 1, size, about};
    row.member = member;
    row.defaultText = defaultText;
    row.entries = std::move(entries);
    row.understood = understood;
    row.understoodText = understoodText;
    row.form = std::move(form);
    row.form.control = FormPart::kTextBox;
    return row;
}

std::vector<StoredRow> BuildRows() {
    StoredRow addresses{"PortAdd",  "PortAdd", StoredRow::kNumber,
                        kPortCount, 4,         "virtual port n's address"};
    addresses.number = [](const PortSettings& s, int i) { return s.addresses[i]; };
    addresses.setNumber = [](PortSettings& s, int i, std::int32_t n) { s.addresses[i] = n; };
    addresses.fallback = [](int i) { return i + 1; };  // virtual port n's address is n
    addresses.min = 0;
    addresses.max = 64;
    addresses.called = "an address";
    addresses.form = {
        .control = FormPart::kNumberField,
        .fields =
            {{kRowAddressIds[0], {215, 40, 40, 13}, "SERIAL1", {174, 42, 41, 20}, kRowLabelIds[0]},
             {kRowAddressIds[1], {215, 60, 40, 14}, "SERIAL2", {174, 62, 40, 13}, kRowLabelIds[1]},
             {kRowAddressIds[2], {214, 80, 40, 12}, "SERIAL3", {174, 82, 40, 12}, kRowLabelIds[2]},
             {kRowAddressIds[3], {215, 99, 40, 12}, "SERIAL4", {174, 102, 40, 12}, kRowLabelIds[3]},
             {kRowAddressIds[4],
              {214, 120, 40, 12},
              "SERIAL5",
              {174, 122, 36, 15},
              kRowLabelIds[4]},
             {kRowAddressIds[5],
              {214, 140, 40, 12},
              "SERIAL6",
              {174, 142, 40, 14},
              kRowLabelIds[5]},
             {kRowAddressIds[6],
              {214, 161, 40, 12},
              "SERIAL7",
              {174, 162, 40, 13},
              kRowLabelIds[6]},
             {kRowAddressIds[7],
              {214, 180, 40, 13},
              "SERIAL8",
              {174, 183, 40, 14},
              kRowLabelIds[7]}},
        .field = [](PortSettings& s, int i) -> std::int32_t& { return s.rowAddress[i]; },
        .sunken = true,
        .nameSuffix = "address",
    };

    StoredRow maxPort{"MaxPort", "MaxPort", StoredRow::kNumber, 1, 4, "the total of virtual ports"};
    // Stored as the list's number; a stored total that is no entry of the
    // list takes the nearest entry, so the driver is never given a total the
    // dialog cannot show.
    maxPort.number = [](const PortSettings& s, int) {
        return MaxPortFromIndex(std::clamp(s.totalIndex, 0, kTotalEntries - 1));
    };
    maxPort.setNumber = [](PortSettings& s, int, std::int32_t n) {
        s.totalIndex = ListIndexFromMaxPort(n);
    };
    maxPort.fallback = [](int) { return 8; };
    maxPort.entries = MaxPortEntries();
    maxPort.form = {
        .control = FormPart::kList,
        .fields =
            {{IDC_TOTAL_PORTS, {92, 227, 48, 108}, "Total Virtual Ports :", {23, 227, 65, 18}}},
        .field = [](PortSettings& s, int) -> std::int32_t& { return s.totalIndex; },
        .sunken = true,
        .centredLabel = true,
    };

    // The driver's key holds stop bits in 2 bytes; a longer text ("1.5")
    // would be cut short when stored, so its entry is held to the size too.
    StoredRow texts[] = {
        Text("DataBit", "DataBit", 2, "data bits", &PortSettings::dataBits, "8", {"7", "8"},
             {.fields = {{IDC_DATA_BITS, {74, 120, 56, 49}, "DATA BITS :", {20, 121, 54, 19}}}}),
        Text("StopBit", "StopBit", 2, "stop bits", &PortSettings::stopBits, "1", {"1", "2"},
             {.fields = {{IDC_STOP_BITS, {75, 150, 55, 39}, "STOP BIT :", {20, 152, 54, 17}}}}),
        Text("Parity", "Parity", 22, "parity", &PortSettings::parity, "No Parity",
             {"No Parity", "Odd Parity", "Even Parity"},
             {.fields = {{IDC_PARITY, {74, 90, 56, 50}, "PARITY:", {20, 90, 54, 20}}}}),
        Text("TRxPort", "TRxPort", 8, "the main port", &PortSettings::mainPort, "COM1",
             {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"},
             {.fields = {{IDC_MAIN_PORT, {74, 30, 56, 114}, "MAIN COM :", {20, 31, 54, 18}}},
              .upperCase = true},
             IsComPort, "COM1 to COM256 too"),
        Text("BaudRate", "BaudRate", 12, "the rate in baud", &PortSettings::baudRate, "9600",
             {"600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"},
             {.fields = {{IDC_BAUD_RATE,
                          {74, 60, 56, 112},
                          "BAUD RATE :",
                          {20, 60, 54, 20},
                          IDC_BAUD_RATE_LABEL}},
              .upperCase = true,
              .sunken = true},
             IsWholeRate, "any whole number too"),
        Text("Flow Control", "FLow Control", 16, "flow control", &PortSettings::flowControl,
             "Hardware", {"Hardware", "None"},
             {.fields = {{IDC_FLOW_CONTROL, {75, 179, 55, 48}, "FLOW CTL:", {19, 179, 56, 18}}}}),
    };
    // Moved, not copied as a braced list's rows would be: a copy of each row's
    // lists and form is code of its own.
    std::vector<StoredRow> rows;
    rows.reserve(2 + std::size(texts));
    rows.push_back(std::move(addresses));
    rows.push_back(std::move(maxPort));
    std::ranges::move(texts, std::back_inserter(rows));
    return rows;
}

}  // namespace

std::int64_t ComNumber(std::string_view name) {
    const auto number = Decimal(name.size() > 3 ? name.substr(3) : "");
    return SameText(name.substr(0, 3), "COM") && number ? *number : 0;
}

std::span<const StoredRow> StoredRows() {
    static const std::vector<StoredRow> rows = BuildRows();
    return rows;
}

// Made once: a load, a save and a start go through every value and its names.
const std::vector<SchemaValue>& EverySchemaValue() {
    static const std::vector<SchemaValue> values = [] {
        std::vector<SchemaValue> all;
        for (const StoredRow& row : StoredRows()) {
            for (int i = 0; i < row.count; ++i) {
                const std::string number = row.count == 1 ? "" : std::to_string(i + 1);
                all.push_back({&row, i, row.name + number, row.writeName + number});
            }
        }
        return all;
    }();
    return values;
}

std::optional<SchemaValue> FindSchemaValue(std::string_view name) {
    for (const StoredRow& row : StoredRows()) {
        const std::string_view prefix = row.name;
        const auto index = Decimal(name.size() > prefix.size() ? name.substr(prefix.size()) : "");
        const int found =
            row.count == 1 && (SameText(name, row.name) || SameText(name, row.writeName)) ? 0
            : row.count > 1 && SameText(name.substr(0, prefix.size()), prefix) && index &&
                    *index >= 1 && *index <= row.count
                ? static_cast<int>(*index - 1)
                : -1;
        for (const SchemaValue& value :
             found < 0 ? std::span<const SchemaValue>() : std::span(EverySchemaValue())) {
            if (value.row == &row && value.index == found) {
                return value;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == text.npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    // A plus sign may lead, as the C library reads numbers; from_chars takes only minus.
    if (text.front() == '+' && text.size() > 1 && text[1] >= '0' && text[1] <= '9') {
        text.remove_prefix(1);
    }
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

std::string CheckNumber(const StoredRow& row, std::int64_t number) {
    if (!row.entries.empty()) {
        if (std::ranges::find(row.entries, std::to_string(number)) != row.entries.end()) {
            return {};
        }
        return row.about + std::string(" must be ") + Joined(row.entries, " or ") + ", not " +
               std::to_string(number);
    }
    if (number >= row.min && number <= row.max) {
        return {};
    }
    return (row.called != nullptr ? row.called : row.about) + std::string(" must be from ") +
           std::to_string(row.min) + " to " + std::to_string(row.max) + ", not " +
           std::to_string(number);
}

std::string CheckText(const StoredRow& row, std::string_view text) {
    // Values that cannot travel: --get writes a value a line, and readers of
    // a stored text stop at its first zero byte, so neither would come back.
    struct Untravelled {
        char c;
        const char* why;
    };
    static constexpr Untravelled kUntravelled[] = {
        {'\n', "a text cannot hold a line break: no NAME=VALUE line could give it back"},
        {'\0', "a text cannot hold a zero byte: readers of the text stop at the first one"},
    };
    for (const Untravelled& u : kUntravelled) {
        if (text.find(u.c) != std::string_view::npos) {
            return u.why;
        }
    }
    if (text.size() <= row.size) {
        return {};
    }
    return "at most " + std::to_string(row.size) + " characters are kept, not " +
           std::to_string(text.size());
}

const std::string* ListedEntry(const StoredRow& row, std::string_view text) {
    const auto entry = std::ranges::find_if(
        row.entries, [&](const std::string& entry) { return SameText(entry, text); });
    return entry != row.entries.end() ? &*entry : nullptr;
}

std::string TextWarning(const StoredRow& row, std::string_view text) {
    if (ListedEntry(row, text) != nullptr || (row.understood != nullptr && row.understood(text))) {
        return {};
    }
    return "\"" + std::string(text) +
           "\" is not one of the dialog's entries: " + Joined(row.entries, ", ");
}

std::string TakesText(const StoredRow& row) {
    return row.entries.empty() ? std::to_string(row.min) + " to " + std::to_string(row.max)
                               : Joined(row.entries, " or ");
}

std::string StoredValuesHelp() {
    std::string help;
    for (const StoredRow& row : StoredRows()) {
        std::string name = row.count == 1 ? std::string(row.name)
                                          : std::string(row.name) + "1 ... " + row.name +
                                                std::to_string(row.count);
        if (row.name != std::string_view(row.writeName)) {
            name += " (or " + std::string(row.writeName) + ")";
        }
        std::string takes = TakesText(row);
        if (row.kind == StoredRow::kText) {
            takes += " (at most " + std::to_string(row.size) + " characters" +
                     (row.understoodText != nullptr ? std::string("; ") + row.understoodText : "") +
                     ")";
        }
        help += "  " + name + ": " + row.about + ", " + takes + "\n";
    }
    return help;
}

}  // namespace tavirap
