// Texts compared as the registry and the driver's lists compare them: by
// their bytes, ignoring the case of ASCII letters only (other bytes are the
// code page's, which no rule here folds).
#pragma once

#include <algorithm>
#include <string_view>

namespace tavirap {

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameText(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

inline bool StartsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

}  // namespace tavirap
