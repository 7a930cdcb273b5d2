// The registry file's text codec: ANSI bytes as they are, UTF-8 and UTF-16LE each way.
#include "store/RegFileParts.h"

namespace tavirap {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    const auto byte = [&](char32_t b) { out += static_cast<char>(b); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | c >> 6);
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | c >> 12);
        byte(0x80 | (c >> 6 & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | c >> 18);
        byte(0x80 | (c >> 12 & 0x3F));
        byte(0x80 | (c >> 6 & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::string& out, char32_t c) {
    const auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    if (c < 0x10000) {
        unit(c);
    } else {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

// The character that starts at s[pos] and its length in bytes; 0 when the
// bytes there are no well-formed UTF-8 character.
std::size_t DecodeUtf8(std::string_view s, std::size_t pos, char32_t& c) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    struct Form {
        unsigned char lead;  // the lead byte's value under its mask
        unsigned char mask;
        std::size_t length;
        char32_t least;  // the smallest character this length may carry
    };
    constexpr Form kForms[] = {{0x00, 0x80, 1, 0},
                               {0xC0, 0xE0, 2, 0x80},
                               {0xE0, 0xF0, 3, 0x800},
                               {0xF0, 0xF8, 4, 0x10000}};
    for (const Form& form : kForms) {
        if ((lead & form.mask) != form.lead) {
            continue;
        }
        if (pos + form.length > s.size()) {
            return 0;
        }
        c = lead & static_cast<unsigned char>(~form.mask);
        for (std::size_t i = 1; i < form.length; ++i) {
            const auto next = static_cast<unsigned char>(s[pos + i]);
            if ((next & 0xC0) != 0x80) {
                return 0;
            }
            c = c << 6 | (next & 0x3F);
        }
        const bool surrogate = c >= 0xD800 && c < 0xE000;
        return c < form.least || c > 0x10FFFF || surrogate ? 0 : form.length;
    }
    return 0;
}

char32_t Utf16Unit(std::string_view bytes, std::size_t pos) {
    return static_cast<unsigned char>(bytes[pos]) |
           static_cast<char32_t>(static_cast<unsigned char>(bytes[pos + 1])) << 8;
}

// The character that starts at bytes[pos] and its length in bytes (2 or 4);
// 0 for a surrogate without its other half.
std::size_t DecodeUtf16(std::string_view bytes, std::size_t pos, char32_t& c) {
    c = Utf16Unit(bytes, pos);
    if (c < 0xD800 || c >= 0xE000) {
        return 2;
    }
    if (c >= 0xDC00 || pos + 4 > bytes.size()) {
        return 0;
    }
    const char32_t low = Utf16Unit(bytes, pos + 2);
    if (low < 0xDC00 || low >= 0xE000) {
        return 0;
    }
    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
    return 4;
}

}  // namespace

namespace regfile {

// A version 5.00 file's text after its byte order mark, as UTF-8. Anything
// that is no UTF-16 is damage: the text must come back byte for byte.
bool DecodeUtf16File(std::string_view bytes, std::string& text, RegParseError& error) {
    std::size_t line = 1;
    for (std::size_t pos = 0; pos + 1 < bytes.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf16(bytes, pos, c);
        if (length == 0) {
            error = {line, "not UTF-16: a surrogate without its other half"};
            return false;
        }
        line += c == '\n' ? 1 : 0;
        AppendUtf8(text, c);
        pos += length;
    }
    if (bytes.size() % 2 != 0) {
        error = {line, "the file ends within a UTF-16 character"};
        return false;
    }
    return true;
}

}  // namespace regfile

bool IsStringType(ValueType type) {
    return type == kRegSz || type == 2 || type == 7;  // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ
}

std::string Utf8ToUtf16(std::string_view text) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, pos, c);
        AppendUtf16(out, length == 0 ? kReplacement : c);
        pos += length == 0 ? 1 : length;
    }
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes) {
    std::string out;
    for (std::size_t pos = 0; pos + 1 < bytes.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf16(bytes, pos, c);
        AppendUtf8(out, length == 0 ? kReplacement : c);
        pos += length == 0 ? 2 : length;
    }
    return out;
}

}  // namespace tavirap
