// The values the dialog edits: the record bound to the form with the table of
// 64 port addresses and its page state, the defaults and the mappings around
// the total-ports list.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tavirap {

inline constexpr int kRowsPerPage = 8;
inline constexpr int kPortCount = 64;
inline constexpr int kTotalEntries = 10;  // "2", "4", "8", "16" ... "64"

// Entry n - 1 is the address of virtual port n ("SERIAL1" is entry 0).
using PortAddressTable = std::array<std::int32_t, kPortCount>;

struct PageState {
    std::int32_t currentPage = 0;  // page p shows table entries 8p to 8p + 7
    std::int32_t pageCount = 1;
};

// Texts are byte strings in the ANSI code page; every length counts bytes.
// The rows show one page of the address table; the table and the page state
// travel with the record, so loading, saving and paging need no other state.
// A new record holds the defaults (see ResetDefaults).
struct PortSettings {
    PortSettings();

    std::array<std::int32_t, kRowsPerPage> rowAddress{};
    std::string baudRate;
    std::string dataBits;
    std::int32_t totalIndex = 0;
    std::array<std::string, kRowsPerPage> rowLabel;
    std::string stopBits;
    std::string mainPort;
    std::string parity;
    std::string flowControl;
    PortAddressTable addresses{};
    PageState page{};
};

// The number stored as "MaxPort" for a list index (applied to any index).
std::int32_t MaxPortFromIndex(std::int32_t totalIndex);
// The list index for a stored "MaxPort"; may fall outside the list.
std::int32_t IndexFromMaxPort(std::int32_t maxPort);
// The list index for a stored "MaxPort", held to the ten entries of the list.
std::int32_t ListIndexFromMaxPort(std::int32_t maxPort);
std::int32_t PageCountFromIndex(std::int32_t totalIndex);

// The row label of virtual port n: "SERIAL1" to "SERIAL64".
std::string PortLabel(int port);

// Defaults for the record, the table and the page state: the stored values'
// defaults (settings/SettingsSchema.h), page 0 shown.
void ResetDefaults(PortSettings& settings);

}  // namespace tavirap
