// Values' data as the stores keep them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavirap {

using Bytes = std::vector<std::uint8_t>;

inline Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// A text with its terminating zero.
inline Bytes Sz(std::string_view text) {
    Bytes data = BytesOf(text);
    data.push_back(0);
    return data;
}

// A REG_DWORD: four bytes, the lowest first.
inline Bytes Dword(std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

}  // namespace tavirap
