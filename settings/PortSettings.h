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
struct PortSettings {
    std::array<std::int32_t, kRowsPerPage> rowAddress{};
    std::string baudRate = "9600";
    std::string dataBits = "8";
    std::int32_t totalIndex = 2;
    std::array<std::string, kRowsPerPage> rowLabel{"SERIAL1", "SERIAL2", "SERIAL3", "SERIAL4",
                                                   "SERIAL5", "SERIAL6", "SERIAL7", "SERIAL8"};
    std::string stopBits = "1";
    std::string mainPort = "COM1";
    std::string parity = "No Parity";
    std::string flowControl = "Hardware";
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

// Defaults for the record, the table and the page state.
void ResetDefaults(PortSettings& settings);

// Fallbacks for values missing from the store, the same texts as the defaults.
namespace defaults {
inline constexpr const char* kDataBits = "8";
inline constexpr const char* kStopBits = "1";
inline constexpr const char* kParity = "No Parity";
inline constexpr const char* kMainPort = "COM1";
inline constexpr const char* kBaudRate = "9600";
inline constexpr const char* kFlowControl = "Hardware";
inline constexpr std::int32_t kMaxPort = 8;
inline constexpr std::int32_t kTotalIndex = 2;
}  // namespace defaults

}  // namespace tavirap
