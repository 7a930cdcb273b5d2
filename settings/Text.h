// Texts compared as the registry and the driver's lists compare them: by
// their bytes, ignoring the case of ASCII letters only (other bytes are the
// code page's, which no rule here folds).
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
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

// Lower-case hex digits, at least `digits` (up to 8) of them, as "%0*x"
// writes them: the registry file's dword and hex data, and the messages that
// quote them. By hand, as the formatted printf alone would add a fifth to a
// statically linked program.
inline void AppendHex(std::string& out, std::uint32_t number, int digits = 1) {
    char reversed[8];
    int n = 0;
    do {
        reversed[n++] = "0123456789abcdef"[number & 0xF];
        number >>= 4;
    } while (number != 0 || n < digits);
    while (n > 0) {
        out += reversed[--n];
    }
}

inline std::string Hex(std::uint32_t number, int digits = 1) {
    std::string out;
    AppendHex(out, number, digits);
    return out;
}

}  // namespace tavirap
