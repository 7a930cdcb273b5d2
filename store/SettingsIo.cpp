#include "store/SettingsIo.h"

#include <algorithm>
#include <array>
#include <string>

namespace tavirap {

namespace {

constexpr std::uint32_t kNumberSize = 4;
constexpr std::uint32_t kTextCapacity = 64;

// The six line-parameter texts: read under one name, written under another
// for flow control ("FLow Control" is what the driver has always been given;
// names compare without regard to case, so both address one value).
struct TextValue {
    const char* readName;
    const char* writeName;
    std::uint32_t size;  // bytes stored, whatever the text's length
    std::string PortSettings::*field;
    const char* fallback;
};

constexpr TextValue kTexts[] = {
    {"DataBit", "DataBit", 2, &PortSettings::dataBits, defaults::kDataBits},
    {"StopBit", "StopBit", 2, &PortSettings::stopBits, defaults::kStopBits},
    {"Parity", "Parity", 22, &PortSettings::parity, defaults::kParity},
    {"TRxPort", "TRxPort", 8, &PortSettings::mainPort, defaults::kMainPort},
    {"BaudRate", "BaudRate", 12, &PortSettings::baudRate, defaults::kBaudRate},
    {"Flow Control", "FLow Control", 16, &PortSettings::flowControl, defaults::kFlowControl},
};

constexpr const char* kMaxPortName = "MaxPort";

std::string PortAddressName(int port) {
    return "PortAdd" + std::to_string(port);
}

// A number as REG_DWORD: 32-bit little-endian. Shorter data counts from its
// low bytes up.
bool ReadNumber(SettingsKey& key, std::string_view name, std::int32_t& number) {
    std::array<std::uint8_t, kNumberSize> data{};
    std::uint32_t size = kNumberSize;
    if (key.QueryValue(name, nullptr, data.data(), size) != status::kSuccess) {
        return false;
    }
    std::uint32_t bits = 0;
    for (std::uint32_t i = 0; i < kNumberSize; ++i) {
        bits |= std::uint32_t{data[i]} << (8 * i);
    }
    number = static_cast<std::int32_t>(bits);
    return true;
}

Status WriteNumber(SettingsKey& key, std::string_view name, std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    const std::array<std::uint8_t, kNumberSize> data{
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    return key.SetValue(name, kRegDword, data.data(), kNumberSize);
}

// The text up to its first zero byte, or all of it when it has none.
bool ReadText(SettingsKey& key, std::string_view name, std::string& text) {
    std::array<std::uint8_t, kTextCapacity> data{};
    std::uint32_t size = kTextCapacity;
    if (key.QueryValue(name, nullptr, data.data(), size) != status::kSuccess) {
        return false;
    }
    const auto end = std::find(data.begin(), data.begin() + size, 0);
    text.assign(data.begin(), end);
    return true;
}

// Exactly `size` bytes: the text, cut at the last whole character that fits,
// then zero bytes.
Status WriteText(const SettingsStore& store, SettingsKey& key, std::string_view name,
                 std::string_view text, std::uint32_t size) {
    std::size_t kept = 0;
    while (kept < text.size()) {
        const std::size_t next = kept + store.CharacterLength(text, kept);
        if (next > size) {
            break;
        }
        kept = next;
    }
    std::array<std::uint8_t, kTextCapacity> data{};
    std::copy_n(text.begin(), kept, data.begin());
    return key.SetValue(name, kRegSz, data.data(), size);
}

void ReadKey(SettingsKey& key, PortSettings& settings) {
    std::int32_t maxPort = defaults::kMaxPort;
    ReadNumber(key, kMaxPortName, maxPort);
    for (int port = 1; port <= kPortCount; ++port) {
        std::int32_t address = port;
        ReadNumber(key, PortAddressName(port), address);
        settings.addresses[port - 1] = address;
    }
    // A stored total that is no entry of the list takes the nearest entry,
    // so the driver is never given a total the dialog cannot show.
    settings.totalIndex = ListIndexFromMaxPort(maxPort);
    std::copy_n(settings.addresses.begin(), kRowsPerPage, settings.rowAddress.begin());
    for (const TextValue& value : kTexts) {
        std::string& field = settings.*value.field;
        if (!ReadText(key, value.readName, field)) {
            field = value.fallback;
        }
    }
    settings.page.currentPage = 0;
    settings.page.pageCount = PageCountFromIndex(settings.totalIndex);
}

}  // namespace

Status SaveSettings(SettingsStore& store, const PortSettings& settings) {
    std::unique_ptr<SettingsKey> key;
    if (Status created = store.CreateKey(kServiceKeyPath, key); created != status::kSuccess) {
        return created;
    }
    Status first = status::kSuccess;
    auto note = [&first](Status result) {
        if (first == status::kSuccess) {
            first = result;
        }
    };
    for (int port = 1; port <= kPortCount; ++port) {
        note(WriteNumber(*key, PortAddressName(port), settings.addresses[port - 1]));
    }
    const std::int32_t listIndex = std::clamp(settings.totalIndex, 0, kTotalEntries - 1);
    note(WriteNumber(*key, kMaxPortName, MaxPortFromIndex(listIndex)));
    for (const TextValue& value : kTexts) {
        note(WriteText(store, *key, value.writeName, settings.*value.field, value.size));
    }
    note(key->Close());
    return first;
}

LoadResult LoadSettings(SettingsStore& store, PortSettings& settings) {
    LoadResult result;
    std::unique_ptr<SettingsKey> key;
    const Status opened = store.OpenKeyAllAccess(kServiceKeyPath, key);
    if (opened == status::kNotFound) {
        ResetDefaults(settings);
        result.defaultsShown = true;
        result.saveStatus = SaveSettings(store, settings);
        return result;
    }
    if (opened != status::kSuccess) {
        // Whoever may not write the key still sees what the driver uses; only
        // a key that cannot even be read falls back to the defaults.
        result.readOnly = true;
        const Status read = store.OpenKeyReadOnly(kServiceKeyPath, key);
        result.readOnlyStatus =
            read == status::kSuccess || read == status::kNotFound ? opened : read;
        result.readOnlyReason = store.Explain(result.readOnlyStatus);
        if (read != status::kSuccess) {
            ResetDefaults(settings);
            result.defaultsShown = true;
            return result;
        }
    }
    ReadKey(*key, settings);
    // The key is opened anew by the write-back; a store that locks its key
    // while open must see this one closed first.
    key->Close();
    key.reset();
    if (!result.readOnly) {
        result.saveStatus = SaveSettings(store, settings);
    }
    return result;
}

}  // namespace tavirap
