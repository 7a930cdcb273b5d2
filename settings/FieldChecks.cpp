#include "settings/FieldChecks.h"

#include <algorithm>
#include <stdexcept>

namespace tavirap {

const TextField& TextFieldOf(std::string PortSettings::*member) {
    for (const TextField& field : kTextFields) {
        if (field.member == member) {
            return field;
        }
    }
    throw std::logic_error("no stored text for this member");
}

std::string PortAddressName(int port) {
    return "PortAdd" + std::to_string(port);
}

std::string CheckAddress(std::int64_t address) {
    if (address >= kMinAddress && address <= kMaxAddress) {
        return {};
    }
    return "an address must be from " + std::to_string(kMinAddress) + " to " +
           std::to_string(kMaxAddress) + ", not " + std::to_string(address);
}

std::string CheckMaxPort(std::int64_t maxPort) {
    std::string entries;
    for (std::int32_t index = 0; index < kTotalEntries; ++index) {
        if (MaxPortFromIndex(index) == maxPort) {
            return {};
        }
        entries += (index == 0                   ? ""
                    : index == kTotalEntries - 1 ? " or "
                                                 : ", ") +
                   std::to_string(MaxPortFromIndex(index));
    }
    return "the total of virtual ports must be " + entries + ", not " + std::to_string(maxPort);
}

std::string CheckText(const TextField& field, std::string_view text) {
    if (text.size() <= field.size) {
        return {};
    }
    return "at most " + std::to_string(field.size) + " characters are kept, not " +
           std::to_string(text.size());
}

}  // namespace tavirap
