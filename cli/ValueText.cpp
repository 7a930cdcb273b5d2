#include "cli/ValueText.h"

#include <algorithm>

namespace tavirap {

std::string SettableValue(const RegValue& value) {
    if (value.type == kRegDword && value.data.size() == 4) {
        return std::to_string(static_cast<std::int32_t>(DwordBits(value.data)));
    }
    return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
}

std::string ShownValue(const RegValue& value) {
    if (value.type == kRegDword && value.data.size() == 4) {
        return SettableValue(value);
    }
    if (value.type == kRegSz) {
        return "\"" + SettableValue(value) + "\"";
    }
    return "(data of type " + std::to_string(value.type) + ")";
}

std::string ShownBefore(const ValueChange& change) {
    return change.before ? ShownValue(*change.before) : "(not stored)";
}

}  // namespace tavirap
