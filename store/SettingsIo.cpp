#include "store/SettingsIo.h"

#include <algorithm>
#include <optional>
#include <string>

#include "settings/SettingsSchema.h"

namespace tavirap {

namespace {

constexpr std::uint32_t kNumberSize = 4;
constexpr std::uint32_t kTextCapacity = 64;

// The value as the key holds it; none when it is not stored or is larger
// than the largest value the driver's key has.
std::optional<RegValue> HeldValue(SettingsKey* key, std::string_view name) {
    RegValue held{std::string(name), kRegNone, std::vector<std::uint8_t>(kTextCapacity)};
    auto size = static_cast<std::uint32_t>(held.data.size());
    if (key == nullptr || !key->QueryValue(name, &held.type, held.data.data(), size).Ok()) {
        return std::nullopt;
    }
    held.data.resize(size);
    return held;
}

// A number as REG_DWORD: 32-bit little-endian. Shorter data counts from its
// low bytes up; longer data is no number.
bool ReadNumber(const std::optional<RegValue>& held, std::int32_t& number) {
    if (!held || held->data.size() > kNumberSize) {
        return false;
    }
    number = static_cast<std::int32_t>(DwordBits(held->data));
    return true;
}

// The text up to its first zero byte, or all of it when it has none.
bool ReadText(const std::optional<RegValue>& held, std::string& text) {
    if (!held) {
        return false;
    }
    text.assign(held->data.begin(), std::find(held->data.begin(), held->data.end(), 0));
    return true;
}

// A value's bytes as the key keeps them for these settings, into `data`
// (reused, so that a comparison of every value allocates once): a number as
// REG_DWORD, 32-bit little-endian; a text as exactly its row's size, cut at
// the last whole character that fits, then zero bytes.
ValueType StoredBytes(const SettingsStore& store, const SchemaValue& value,
                      const PortSettings& settings, std::vector<std::uint8_t>& data) {
    const StoredRow& row = *value.row;
    if (row.kind == StoredRow::kNumber) {
        const auto bits = static_cast<std::uint32_t>(row.number(settings, value.index));
        data.assign({static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                     static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)});
        return kRegDword;
    }
    const std::string& text = settings.*row.member;
    std::size_t kept = 0;
    while (kept < text.size()) {
        const std::size_t next = kept + store.CharacterLength(text, kept);
        if (next > row.size) {
            break;
        }
        kept = next;
    }
    data.assign(row.size, 0);
    std::copy_n(text.begin(), kept, data.begin());
    return kRegSz;
}

// The key holds every value in its stored form: a start has nothing to write.
bool HoldsAll(const SettingsStore& store, const std::vector<std::optional<RegValue>>& held,
              const PortSettings& settings) {
    const std::vector<SchemaValue>& values = EverySchemaValue();
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ValueType type = StoredBytes(store, values[i], settings, data);
        if (i >= held.size() || !held[i] || held[i]->type != type || held[i]->data != data) {
            return false;
        }
    }
    return true;
}

// What the key holds for each value of the schema, in StoredValues' order.
std::vector<std::optional<RegValue>> HeldValues(SettingsKey& key) {
    std::vector<std::optional<RegValue>> held;
    for (const SchemaValue& value : EverySchemaValue()) {
        held.push_back(HeldValue(&key, value.Name()));
    }
    return held;
}

// From HeldValues: one entry for each value of the schema.
void ReadSettings(const std::vector<std::optional<RegValue>>& held, PortSettings& settings) {
    const std::vector<SchemaValue>& values = EverySchemaValue();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const StoredRow& row = *values[i].row;
        const std::optional<RegValue>& stored = held[i];
        if (row.kind == StoredRow::kNumber) {
            std::int32_t number = row.fallback(values[i].index);
            ReadNumber(stored, number);
            row.setNumber(settings, values[i].index, number);
        } else if (!ReadText(stored, settings.*row.member)) {
            settings.*row.member = row.defaultText;
        }
    }
    std::copy_n(settings.addresses.begin(), kRowsPerPage, settings.rowAddress.begin());
    settings.page.currentPage = 0;
    settings.page.pageCount = PageCountFromIndex(settings.totalIndex);
}

}  // namespace

void ReadSettings(SettingsKey& key, PortSettings& settings) {
    ReadSettings(HeldValues(key), settings);
}

std::vector<RegValue> StoredValues(const SettingsStore& store, const PortSettings& settings) {
    std::vector<RegValue> values;
    for (const SchemaValue& value : EverySchemaValue()) {
        RegValue stored{value.WriteName(), kRegNone, {}};
        stored.type = StoredBytes(store, value, settings, stored.data);
        values.push_back(std::move(stored));
    }
    return values;
}

StoreResult WriteValues(SettingsKey& key, const std::vector<RegValue>& values) {
    StoreResult first;
    for (const RegValue& value : values) {
        StoreResult result = key.SetValue(value.name, value.type, value.data.data(),
                                          static_cast<std::uint32_t>(value.data.size()));
        if (first.Ok()) {
            first = std::move(result);
        }
    }
    return first;
}

namespace {

// The writes' result, or the close's when they all succeeded: the close
// commits them.
StoreResult WrittenAndClosed(SettingsKey& key, StoreResult written) {
    StoreResult closed = key.Close();
    return written.Ok() ? closed : written;
}

// The key holds value i (of StoredValues' order) byte for byte.
bool Holds(const std::vector<std::optional<RegValue>>& held, std::size_t i, const RegValue& value) {
    return i < held.size() && held[i] && held[i]->type == value.type && held[i]->data == value.data;
}

// The values the key does not already hold, in their order.
std::vector<RegValue> Unheld(const std::vector<std::optional<RegValue>>& held,
                             std::vector<RegValue> values) {
    std::vector<RegValue> unheld;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!Holds(held, i, values[i])) {
            unheld.push_back(std::move(values[i]));
        }
    }
    return unheld;
}

// The key opened for reading or for writing, and what it holds read into
// the settings; a missing key gives the defaults. The one way the load, the
// read and the save open the key.
struct OpenedKey {
    StoreResult status;
    std::unique_ptr<SettingsKey> key;
    std::vector<std::optional<RegValue>> held;  // for each value of the schema
    bool missing = false;                       // status is kNotFound
};

OpenedKey OpenAndRead(SettingsStore& store, bool write, PortSettings& settings) {
    OpenedKey opened;
    opened.status = write ? store.OpenKeyAllAccess(kServiceKeyPath, opened.key)
                          : store.OpenKeyReadOnly(kServiceKeyPath, opened.key);
    opened.missing = opened.status == status::kNotFound;
    if (opened.status.Ok()) {
        opened.held = HeldValues(*opened.key);
        ReadSettings(opened.held, settings);
    } else if (opened.missing) {
        ResetDefaults(settings);
    }
    return opened;
}

}  // namespace

StoreResult SaveSettings(SettingsStore& store, const PortSettings& settings) {
    std::unique_ptr<SettingsKey> key;
    if (StoreResult created = store.CreateKey(kServiceKeyPath, key); !created.Ok()) {
        return created;
    }
    return WrittenAndClosed(*key, WriteValues(*key, StoredValues(store, settings)));
}

LoadResult LoadSettings(SettingsStore& store, PortSettings& settings) {
    LoadResult result;
    // Most starts find every value in its stored form: read as any reader
    // does, without the writers' lock, which is taken (and the key read
    // again under it) only when something is to be written back.
    OpenedKey read = OpenAndRead(store, false, settings);
    read.key.reset();
    if (read.status.Ok() && HoldsAll(store, read.held, settings)) {
        result.readOnlyReason = store.CheckWriteAccess(kServiceKeyPath);
        result.readOnly = !result.readOnlyReason.Ok();
        return result;
    }
    OpenedKey write = OpenAndRead(store, true, settings);
    if (write.missing) {
        result.defaultsShown = true;
        result.saveStatus = SaveSettings(store, settings);
        return result;
    }
    if (!write.status.Ok()) {
        // Whoever may not write the key still sees what the driver uses (as
        // read above); only a key that cannot even be read falls back to the
        // defaults.
        result.readOnly = true;
        result.readOnlyReason = read.status.Ok() || read.missing ? write.status : read.status;
        result.defaultsShown = !read.status.Ok();
        result.unreadable = !read.status.Ok() && !read.missing;
        if (result.unreadable) {
            ResetDefaults(settings);
        }
        return result;
    }
    // Only the values the key does not already hold in their stored form.
    result.saveStatus = WrittenAndClosed(
        *write.key, WriteValues(*write.key, Unheld(write.held, StoredValues(store, settings))));
    return result;
}

std::string Fingerprint(const std::vector<RegValue>& values) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    const auto add = [&hash](std::uint8_t byte) { hash = (hash ^ byte) * 0x100000001b3u; };
    for (const RegValue& value : values) {
        for (const char c : value.name) {
            add(static_cast<std::uint8_t>(c));
        }
        for (int shift = 0; shift < 32; shift += 8) {
            add(static_cast<std::uint8_t>(value.type >> shift));
            add(static_cast<std::uint8_t>(value.data.size() >> shift));
        }
        for (const std::uint8_t byte : value.data) {
            add(byte);
        }
    }
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) {
        text[static_cast<std::size_t>(i)] = "0123456789abcdef"[hash & 0xf];
    }
    return text;
}

std::string ExportSettings(const SettingsStore& store, const PortSettings& settings) {
    RegDocument document;
    RegSection& section =
        document.AddSection(std::string(kLocalMachine) + "\\" + std::string(kServiceKeyPath));
    for (RegValue& value : StoredValues(store, settings)) {
        section.Set(value.name, value.type, std::move(value.data));
    }
    return WriteRegFile(document);
}

StoreResult ReadSettingsOnly(SettingsStore& store, PortSettings& settings) {
    const OpenedKey read = OpenAndRead(store, false, settings);
    return read.missing ? StoreResult() : read.status.Ok() ? read.key->Close() : read.status;
}

std::vector<ValueChange> DifferentValues(const std::vector<std::optional<RegValue>>& before,
                                         const std::vector<RegValue>& after) {
    std::vector<ValueChange> changes;
    const std::vector<SchemaValue>& names = EverySchemaValue();
    for (std::size_t i = 0; i < after.size() && i < names.size(); ++i) {
        if (!Holds(before, i, after[i])) {
            changes.push_back(
                {names[i].Name(), i < before.size() ? before[i] : std::nullopt, after[i]});
        }
    }
    return changes;
}

std::vector<ValueChange> DifferentValues(const std::vector<RegValue>& before,
                                         const std::vector<RegValue>& after) {
    return DifferentValues(std::vector<std::optional<RegValue>>(before.begin(), before.end()),
                           after);
}

SaveOutcome SaveChanges(SettingsStore& store, const SaveRequest& request) {
    SaveOutcome outcome;
    OpenedKey opened = OpenAndRead(store, !request.dryRun, outcome.stored);
    std::unique_ptr<SettingsKey>& key = opened.key;
    const std::vector<std::optional<RegValue>>& held = opened.held;
    outcome.created = opened.missing;
    if (opened.missing && !request.dryRun) {
        opened.status = store.CreateKey(kServiceKeyPath, key);
    }
    if (!opened.status.Ok() && !(opened.missing && request.dryRun)) {
        outcome.status = opened.status;
        return outcome;
    }
    const auto close = [&key] { return key != nullptr ? key->Close() : StoreResult(); };
    // Compared under the same open (one lock on the registry file) as the write.
    if (request.expected && Fingerprint(StoredValues(store, outcome.stored)) != *request.expected) {
        outcome.otherChange = true;
        outcome.status = close();
        return outcome;
    }
    PortSettings settings = outcome.stored;
    if (request.edit) {
        request.edit(settings);
    }
    const std::vector<RegValue> values = StoredValues(store, settings);
    // A new key holds the defaults and what differs from them.
    outcome.changes = outcome.created ? DifferentValues(StoredValues(store, outcome.stored), values)
                                      : DifferentValues(held, values);
    // The key already holds every byte: nothing is written.
    if ((outcome.changes.empty() && !outcome.created) || request.dryRun) {
        outcome.status = close();
        return outcome;
    }
    outcome.status = WrittenAndClosed(*key, WriteValues(*key, Unheld(held, values)));
    if (outcome.status.Ok()) {
        outcome.stored = settings;
    }
    return outcome;
}

}  // namespace tavirap
