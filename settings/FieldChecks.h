// Every value the driver's key holds, with its limits on entry: the one place
// the dialog's field checks and the command line's checks come from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/PortSettings.h"

namespace tavirap {

inline constexpr std::int32_t kMinAddress = 0;
inline constexpr std::int32_t kMaxAddress = 64;

// A line-parameter text: where it is kept in the key and how long it may be.
struct TextField {
    const char* readName;
    const char* writeName;  // differs only for flow control: "FLow Control" is what the driver has
                            // always been given
    std::uint32_t size;     // bytes stored, whatever the text's length
    std::uint32_t limit;    // bytes accepted on entry
    std::string PortSettings::*member;
    const char* fallback;
};

// In the order the key's texts are read and written. The driver's key holds
// stop bits in 2 bytes; a longer text ("1.5") would be cut short when stored,
// so its entry is held to the size as well.
inline constexpr std::array<TextField, 6> kTextFields{{
    {"DataBit", "DataBit", 2, 2, &PortSettings::dataBits, defaults::kDataBits},
    {"StopBit", "StopBit", 2, 2, &PortSettings::stopBits, defaults::kStopBits},
    {"Parity", "Parity", 22, 22, &PortSettings::parity, defaults::kParity},
    {"TRxPort", "TRxPort", 8, 8, &PortSettings::mainPort, defaults::kMainPort},
    {"BaudRate", "BaudRate", 12, 12, &PortSettings::baudRate, defaults::kBaudRate},
    {"Flow Control", "FLow Control", 16, 16, &PortSettings::flowControl, defaults::kFlowControl},
}};

inline constexpr const char* kMaxPortName = "MaxPort";

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
