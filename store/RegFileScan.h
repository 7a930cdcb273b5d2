// The scanning of a line: blanks, hex digits, quoted texts and values, and
// the index of keys and value names the parser keeps while it reads. For
// store/RegFileParser.cpp alone.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
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

inline bool Refuse(std::string& error, std::string_view message) {
    error = message;
    return false;
}

// A text's lines, one at a time, found with memchr: each without its line
// end, and in a file of CRLF line ends without the carriage return before it.
struct LineReader {
    std::string_view rest;  // the text after the line last read
    bool crlf = false;
    std::size_t number = 0;  // of the line last read, counted from 1

    // False at the end of the text.
    bool Next(std::string_view& line) {
        if (rest.empty()) {
            return false;
        }
        const auto* end = static_cast<const char*>(std::memchr(rest.data(), '\n', rest.size()));
        const std::size_t length =
            end != nullptr ? static_cast<std::size_t>(end - rest.data()) : rest.size();
        line = rest.substr(0, length);
        rest.remove_prefix(end != nullptr ? length + 1 : length);
        if (crlf && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++number;
        return true;
    }
};

// Where the scanning of a value's lines puts what it reads: the parser's
// check keeps the name's hash alone, a value's decoding (into `value`) all.
struct ValueSink {
    explicit ValueSink(LineReader& from, RegValue* into = nullptr) : lines(from), value(into) {}

    LineReader& lines;  // where the lines a value goes on in come from
    RegValue* value;
    std::string text;  // a quoted text's data, as read
    std::uint64_t nameHash = NameHash({});

    void Name(std::string_view part) {
        nameHash = HashMore(nameHash, part);
        if (value != nullptr) {
            value->name += part;
        }
    }
    void Text(std::string_view part) {
        if (value != nullptr) {
            text += part;
        }
    }
    void Byte(std::uint8_t byte) {
        if (value != nullptr) {
            value->data.push_back(byte);
        }
    }
};

// Reads a text in quotes, s starting at the opening quote, giving the sink
// its parts (the name's, or the data's): runs of plain characters and the
// characters escapes mean.
inline bool ReadQuoted(std::string_view& s, ValueSink& sink, bool name, std::string& error) {
    const auto out = [&](std::string_view part) { name ? sink.Name(part) : sink.Text(part); };
    s.remove_prefix(1);
    for (;;) {
        std::size_t plain = 0;
        while (plain < s.size() && s[plain] != '"' && s[plain] != '\\') {
            ++plain;
        }
        out(s.substr(0, plain));
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
        out(std::string_view(&escape->meant, 1));
        s.remove_prefix(1);
    }
    return Refuse(error, "missing closing quote");
}

// What a value's lines say besides its name and bytes.
struct Scanned {
    ValueType type = kRegNone;
    bool quoted = false;  // its data is a quoted text, given as text rather than bytes
};

// Comma-separated hex bytes; a line ending in "\" goes on in the next line.
inline bool ScanBytes(std::string_view s, ValueSink& sink, std::string& error) {
    bool afterComma = false;
    bool any = false;
    for (;;) {
        SkipBlanks(s);
        if (s.empty() || s.front() == ';') {
            return !afterComma || Refuse(error, "expected a hex byte after \",\"");
        }
        if (s.front() == '\\') {
            s.remove_prefix(1);
            if (!AtLineEnd(s)) {
                return Refuse(error, "unexpected text after \"\\\"");
            }
            if (!sink.lines.Next(s)) {
                return Refuse(error, "the file ends after a line continued with \"\\\"");
            }
            continue;
        }
        if (!afterComma && any) {
            return Refuse(error, "expected \",\" between hex bytes");
        }
        std::uint32_t byte = 0;
        if (!ReadHex(s, 2, byte)) {
            return Refuse(error, "expected a hex byte");
        }
        sink.Byte(static_cast<std::uint8_t>(byte));
        any = true;
        SkipBlanks(s);
        afterComma = !s.empty() && s.front() == ',';
        if (afterComma) {
            s.remove_prefix(1);
        }
    }
}

// Reads a value's line, s starting at its "name" or @, and any lines of hex
// bytes it goes on in, from the sink's lines.
inline bool ScanValue(std::string_view s, ValueSink& sink, Scanned& scanned, std::string& error) {
    if (s.front() == '@') {
        s.remove_prefix(1);
    } else if (!ReadQuoted(s, sink, true, error)) {
        error += " in the value name";
        return false;
    }
    SkipBlanks(s);
    if (s.empty() || s.front() != '=') {
        return Refuse(error, "expected \"=\" after the value name");
    }
    s.remove_prefix(1);
    SkipBlanks(s);
    std::uint32_t number = 0;
    if (!s.empty() && s.front() == '-') {
        return Refuse(error, "deleting a value (=-) is not supported in the registry file");
    }
    if (!s.empty() && s.front() == '"') {
        scanned = {kRegSz, true};
        if (!ReadQuoted(s, sink, false, error)) {
            return false;
        }
    } else if (StartsWithText(s, "dword:")) {
        s.remove_prefix(6);
        if (!ReadHex(s, 8, number)) {
            return Refuse(error, "expected 1 to 8 hex digits after \"dword:\"");
        }
        scanned.type = kRegDword;
        for (int shift = 0; shift < 32; shift += 8) {
            sink.Byte(static_cast<std::uint8_t>(number >> shift));
        }
    } else if (StartsWithText(s, "hex:")) {
        s.remove_prefix(4);
        scanned.type = kRegBinary;
        return ScanBytes(s, sink, error);
    } else if (StartsWithText(s, "hex(")) {
        s.remove_prefix(4);
        if (!ReadHex(s, 8, number) || s.substr(0, 2) != "):") {
            return Refuse(error, "expected hex(type): with the type in 1 to 8 hex digits");
        }
        s.remove_prefix(2);
        scanned.type = number;
        return ScanBytes(s, sink, error);
    } else {
        return Refuse(error, "expected a quoted text, dword: or hex: after \"=\"");
    }
    return AtLineEnd(s) || Refuse(error, "unexpected text after the value");
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
