// Every value the driver's key holds, each declared once with its stored name,
// size and default: load, save, the defaults, the dialog's field checks and
// the command line's checks all come from here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/PortSettings.h"

namespace tavirap {

inline constexpr std::int32_t kMinAddress = 0;
inline constexpr std::int32_t kMaxAddress = 64;

// A line-parameter text: where it is kept in the key, how many bytes are
// stored and accepted on entry, and what it is when nothing is stored.
struct TextField {
    std::string PortSettings::*member;
    const char* readName;
    const char* writeName;  // differs only for flow control: "FLow Control" is what the driver has
                            // always been given
    std::uint32_t size;     // bytes stored, whatever the text's length; no longer text is accepted
    const char* defaultText;
};

// In the order the key's texts are read and written. The driver's key holds
// stop bits in 2 bytes; a longer text ("1.5") would be cut short when stored,
// so its entry is held to the size as well.
inline constexpr auto kTextFields = std::to_array<TextField>({
    {&PortSettings::dataBits, "DataBit", "DataBit", 2, "8"},
    {&PortSettings::stopBits, "StopBit", "StopBit", 2, "1"},
    {&PortSettings::parity, "Parity", "Parity", 22, "No Parity"},
    {&PortSettings::mainPort, "TRxPort", "TRxPort", 8, "COM1"},
    {&PortSettings::baudRate, "BaudRate", "BaudRate", 12, "9600"},
    {&PortSettings::flowControl, "Flow Control", "FLow Control", 16, "Hardware"},
});

// The total of virtual ports, stored as a number of the list.
inline constexpr const char* kMaxPortName = "MaxPort";
inline constexpr std::int32_t kDefaultMaxPort = 8;

// Virtual port n's address when none is stored: n.
constexpr std::int32_t DefaultAddress(int port) {
    return port;
}

// The field that keeps this member of the record.
const TextField& TextFieldOf(std::string PortSettings::*member);

// The value name of virtual port n's address: "PortAdd1" to "PortAdd64".
std::string PortAddressName(int port);

// Why a value would be refused on entry, in words for the user; empty when
// it is accepted.
std::string CheckAddress(std::int64_t address);
std::string CheckMaxPort(std::int64_t maxPort);
std::string CheckText(const TextField& field, std::string_view text);

}  // namespace tavirap
