// The parser's scanning of a line: blanks, hex digits, quoted texts, and the
// index of keys and value names it keeps while it reads. For
// store/RegFileParser.cpp alone.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/RegFileParts.h"

namespace tavirap::regfile {

inline void SkipBlanks(std::string_view& s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
}

inline void AppendLine(std::string& lines, std::string_view line) {
    lines.reserve(lines.size() + line.size() + 1);
    lines += line;
    lines += '\n';
}

// A line as an error message quotes it: its start, other bytes than
// printable ASCII as \xNN.
inline std::string Shown(std::string_view line) {
    if (line.empty()) {
        return "an empty line";
    }
    constexpr std::size_t kShown = 40;
    std::string shown = "\"";
    for (const char c : line.substr(0, kShown)) {
        if (c >= ' ' && c <= '~') {
            shown += c;
        } else {
            shown += "\\x";
            AppendHex(shown, static_cast<unsigned char>(c), 2);
        }
    }
    return shown + (line.size() > kShown ? "...\"" : "\"");
}

// Nothing but blanks or a ; comment is left.
inline bool AtLineEnd(std::string_view s) {
    SkipBlanks(s);
    return s.empty() || s.front() == ';';
}

inline int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = AsciiLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Reads up to maxDigits hex digits; false when there is none.
inline bool ReadHex(std::string_view& s, std::size_t maxDigits, std::uint32_t& number) {
    std::size_t n = 0;
    number = 0;
    while (n < maxDigits && n < s.size() && HexDigit(s[n]) >= 0) {
        number = number * 16 + static_cast<std::uint32_t>(HexDigit(s[n]));
        ++n;
    }
    s.remove_prefix(n);
    return n > 0;
}

// Reads a text in quotes, s starting at the opening quote, onto the end of
// `text` (a std::string or a value's bytes), a run of plain characters at a time.
template <typename Text>
inline bool ReadQuoted(std::string_view& s, Text& text, std::string& error) {
    s.remove_prefix(1);
    for (;;) {
        std::size_t plain = 0;
        while (plain < s.size() && s[plain] != '"' && s[plain] != '\\') {
            ++plain;
        }
        text.insert(text.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(plain));
        s.remove_prefix(plain);
        if (s.empty()) {
            break;
        }
        const char c = s.front();
        s.remove_prefix(1);
        if (c == '"') {
            return true;
        }
        if (s.empty()) {
            break;
        }
        const auto escape = std::find_if(kEscapes.begin(), kEscapes.end(),
                                         [&](const Escape& e) { return e.written == s.front(); });
        if (escape == kEscapes.end()) {
            error = std::string("unknown escape \"\\") + s.front() + "\" in a quoted text";
            return false;
        }
        text.push_back(static_cast<typename Text::value_type>(escape->meant));
        s.remove_prefix(1);
    }
    error = "missing closing quote";
    return false;
}

// An open-addressing table from hashes to sections and entries, grown by
// doubling: the parser's index of keys and of each key's value names costs
// one allocation per doubling, not one per line.
class HashIndex {
public:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t section = kEmpty;
        std::uint32_t entry = 0;
    };

    // The slot that holds `hash` and for which same(slot) holds; else adds
    // `added` and returns nullptr.
    template <typename Same>
    const Slot* FindOrAdd(const Slot& added, Same same) {
        if ((count_ + 1) * 2 > slots_.size()) {
            Grow();
        }
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = added.hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.section == kEmpty) {
                slot = added;
                ++count_;
                return nullptr;
            }
            if (slot.hash == added.hash && same(slot)) {
                return &slot;
            }
        }
    }

private:
    static constexpr std::uint32_t kEmpty = ~std::uint32_t{0};

    void Grow() {
        std::vector<Slot> old(std::max<std::size_t>(64, slots_.size() * 2));
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.section != kEmpty) {
                std::size_t i = slot.hash & mask;
                while (slots_[i].section != kEmpty) {
                    i = (i + 1) & mask;
                }
                slots_[i] = slot;
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

}  // namespace tavirap::regfile
