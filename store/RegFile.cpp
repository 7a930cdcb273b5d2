#include "store/RegFile.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

namespace tavirap {

namespace {

struct RootName {
    std::string_view full;
    std::string_view shortName;
};

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr char32_t kReplacement = 0xFFFD;

constexpr std::array<RootName, 6> kRoots{{
    {"HKEY_LOCAL_MACHINE", "HKLM"},
    {"HKEY_CURRENT_USER", "HKCU"},
    {"HKEY_CLASSES_ROOT", "HKCR"},
    {"HKEY_USERS", "HKU"},
    {"HKEY_CURRENT_CONFIG", "HKCC"},
    {"HKEY_DYN_DATA", "HKDD"},
}};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto cut = path.find('\\');
        parts.push_back(path.substr(0, cut));
        if (cut == std::string_view::npos) {
            return parts;
        }
        path.remove_prefix(cut + 1);
    }
}

const RootName* FindRoot(std::string_view name) {
    for (const auto& root : kRoots) {
        if (SameName(name, root.full) || SameName(name, root.shortName)) {
            return &root;
        }
    }
    return nullptr;
}

bool SamePart(std::size_t index, std::string_view a, std::string_view b) {
    if (index == 0) {
        const RootName* root = FindRoot(a);
        return root != nullptr ? root == FindRoot(b) : SameName(a, b);
    }
    return SameName(a, b);
}

// Whether `path` names `key` or a key under it, part by part without
// copies: lookups run once per value read, over every section of the file.
bool IsKeyOrUnder(std::string_view path, std::string_view key) {
    for (std::size_t index = 0;; ++index) {
        const auto pathCut = path.find('\\');
        const auto keyCut = key.find('\\');
        if (!SamePart(index, path.substr(0, pathCut), key.substr(0, keyCut))) {
            return false;
        }
        if (keyCut == std::string_view::npos) {
            return true;
        }
        if (pathCut == std::string_view::npos) {
            return false;
        }
        path.remove_prefix(pathCut + 1);
        key.remove_prefix(keyCut + 1);
    }
}

bool SamePath(std::string_view a, std::string_view b) {
    return IsKeyOrUnder(a, b) &&
           std::count(a.begin(), a.end(), '\\') == std::count(b.begin(), b.end(), '\\');
}

// A hash of a name that ignores the case of ASCII letters, as SameName does.
std::uint64_t NameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (char c : name) {
        hash = (hash ^ static_cast<unsigned char>(Lower(c))) * 1099511628211u;
    }
    return hash;
}

// One spelling for each key, whatever its case and the root's name: the
// parser's index of the sections it has read.
std::string PathIndexKey(std::string_view path) {
    const auto cut = path.find('\\');
    const RootName* root = FindRoot(path.substr(0, cut));
    std::string key(root != nullptr ? root->full : path.substr(0, cut));
    if (cut != std::string_view::npos) {
        key += path.substr(cut);
    }
    std::transform(key.begin(), key.end(), key.begin(), Lower);
    return key;
}

// How many leading parts of the two paths name the same keys.
std::size_t CommonParts(const std::vector<std::string_view>& a,
                        const std::vector<std::string_view>& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && SamePart(n, a[n], b[n])) {
        ++n;
    }
    return n;
}

// A carriage return counts as a blank: in a file of LF line ends one before
// the LF is part of the line, and is kept with it.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

void SkipBlanks(std::string_view& s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
}

// A line, or an entry's lines: "\n" is no blank of a line but ends it.
bool IsBlankLine(std::string_view line) {
    SkipBlanks(line);
    return line.empty() || line == "\n";
}

void AppendLine(std::string& lines, std::string_view line) {
    lines.reserve(lines.size() + line.size() + 1);
    lines += line;
    lines += '\n';
}

// An entry's lines with the file's line ends.
void AppendLines(std::string& out, std::string_view lines, std::string_view eol) {
    for (auto end = lines.find('\n'); end != std::string_view::npos; end = lines.find('\n')) {
        out += lines.substr(0, end);
        out += eol;
        lines.remove_prefix(end + 1);
    }
}

// Nothing but blanks or a ; comment is left.
bool AtLineEnd(std::string_view s) {
    SkipBlanks(s);
    return s.empty() || s.front() == ';';
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameName(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = Lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Reads up to maxDigits hex digits; false when there is none.
bool ReadHex(std::string_view& s, std::size_t maxDigits, std::uint32_t& number) {
    std::size_t n = 0;
    number = 0;
    while (n < maxDigits && n < s.size() && HexDigit(s[n]) >= 0) {
        number = number * 16 + static_cast<std::uint32_t>(HexDigit(s[n]));
        ++n;
    }
    s.remove_prefix(n);
    return n > 0;
}

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

struct Escape {
    char written;
    char meant;
};
constexpr std::array<Escape, 3> kEscapes{{{'\\', '\\'}, {'"', '"'}, {'n', '\n'}}};

// Reads a text in quotes, s starting at the opening quote.
bool ReadQuoted(std::string_view& s, std::string& text, std::string& error) {
    s.remove_prefix(1);
    while (!s.empty()) {
        const char c = s.front();
        s.remove_prefix(1);
        if (c == '"') {
            return true;
        }
        if (c != '\\') {
            text += c;
            continue;
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
        text += escape->meant;
        s.remove_prefix(1);
    }
    error = "missing closing quote";
    return false;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        const auto escape = std::find_if(kEscapes.begin(), kEscapes.end(),
                                         [&](const Escape& e) { return e.meant == c; });
        if (escape != kEscapes.end()) {
            out += '\\';
            out += escape->written;
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string Quoted(std::string_view text) {
    std::string out;
    AppendQuoted(out, text);
    return out;
}

// A REG_SZ that "text" gives back exactly: the text and one zero byte, and no
// character regedit would write otherwise.
bool IsPlainText(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    return std::all_of(data.begin(), data.end() - 1,
                       [](std::uint8_t b) { return b >= 0x20 && b != 0x7f; });
}

// The text of a version 5.00 REG_SZ that "text" gives back exactly.
bool IsPlainUtf16Text(const std::vector<std::uint8_t>& data, std::string& text) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
        data[data.size() - 2] != 0) {
        return false;
    }
    const std::string_view wide(reinterpret_cast<const char*>(data.data()), data.size() - 2);
    text = Utf16ToUtf8(wide);
    return Utf8ToUtf16(text) == wide && std::all_of(text.begin(), text.end(), [](char c) {
               const auto b = static_cast<unsigned char>(c);
               return b >= 0x20 && b != 0x7f;
           });
}

// Lower-case hex digits, at least `digits` of them, as "%0*x" writes them:
// a commit writes a few hundred, too many for a printf each.
void AppendHex(std::string& out, std::uint32_t number, int digits) {
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

class Parser {
public:
    Parser(std::string_view text, RegDocument& document, RegParseError& error)
        : document_(document), error_(error) {
        const auto firstEnd = text.find('\n');
        document_.crlf =
            firstEnd == std::string_view::npos || firstEnd == 0 || text[firstEnd - 1] == '\r';
        while (!text.empty()) {
            const auto end = text.find('\n');
            std::string_view line = text.substr(0, end);
            if (document_.crlf && !line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            lines_.push_back(line);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        }
    }

    bool Run() {
        std::string_view first = lines_.empty() ? std::string_view() : lines_[0];
        while (!first.empty() && IsBlank(first.back())) {
            first.remove_suffix(1);
        }
        const std::string_view header =
            document_.format == RegFormat::kVersion5 ? kVersion5Header : kRegedit4Header;
        if (first != header) {
            return Fail("expected " + std::string(header) + " on the first line");
        }
        for (next_ = 1; next_ < lines_.size();) {
            const std::string_view raw = lines_[next_++];
            if (raw.find('\0') != std::string_view::npos) {
                // What a file zeroed by a crash or a binary file holds; text never does.
                return Fail("a NUL byte in the line: the file is damaged or is no text");
            }
            std::string_view line = raw;
            SkipBlanks(line);
            bool ok = true;
            if (line.empty() || line.front() == ';') {
                AddComment(raw);
            } else if (line.front() == '[') {
                ok = ReadSection(line, raw);
            } else if (line.front() == '"' || line.front() == '@') {
                ok = ReadValue(line, raw);
            } else {
                ok = Fail("expected a [key], a \"name\"=value, @=value or a ; comment");
            }
            if (!ok) {
                return false;
            }
        }
        return true;
    }

private:
    bool Fail(std::string message) {
        error_.line = std::max<std::size_t>(next_, 1);
        error_.message = std::move(message);
        return false;
    }

    void AddComment(std::string_view raw) {
        if (section_ == nullptr) {
            document_.preamble.emplace_back(raw);
            return;
        }
        AppendLine(section_->entries.emplace_back().lines, raw);
    }

    bool ReadSection(std::string_view line, std::string_view raw) {
        if (line.size() > 1 && line[1] == '-') {
            return Fail("deleting a key ([-...]) is not supported in the registry file");
        }
        const auto close = line.rfind(']');
        if (close == std::string_view::npos) {
            return Fail("expected \"]\" at the end of the key name");
        }
        if (!AtLineEnd(line.substr(close + 1))) {
            return Fail("unexpected text after \"]\"");
        }
        const std::string_view path = line.substr(1, close - 1);
        const auto parts = SplitPath(path);
        if (FindRoot(parts[0]) == nullptr) {
            return Fail("unknown root key \"" + std::string(parts[0]) + "\"");
        }
        if (std::any_of(parts.begin(), parts.end(), [](auto part) { return part.empty(); })) {
            return Fail("empty key name in \"" + std::string(path) + "\"");
        }
        const auto [known, added] =
            sectionIndex_.try_emplace(PathIndexKey(path), document_.sections.size());
        if (added) {
            document_.sections.push_back(RegSection{std::string(path), {}, std::string(raw)});
            document_.sections.back().line = next_;
        }
        section_ = &document_.sections[known->second];
        names_.clear();
        for (std::size_t i = 0; i < section_->entries.size(); ++i) {
            if (section_->entries[i].isValue) {
                names_.emplace_back(NameHash(section_->entries[i].value.name), i);
            }
        }
        return true;
    }

    bool ReadValue(std::string_view s, std::string_view raw) {
        if (section_ == nullptr) {
            return Fail("a value before the first [key] line");
        }
        RegEntry entry;
        entry.isValue = true;
        entry.line = next_;
        AppendLine(entry.lines, raw);
        RegValue& value = entry.value;
        std::string error;
        if (s.front() == '@') {
            s.remove_prefix(1);
        } else if (!ReadQuoted(s, value.name, error)) {
            return Fail(error + " in the value name");
        }
        SkipBlanks(s);
        if (s.empty() || s.front() != '=') {
            return Fail("expected \"=\" after the value name");
        }
        s.remove_prefix(1);
        SkipBlanks(s);
        if (!ReadData(s, entry)) {
            return false;
        }
        // Import would keep the later line; refusing keeps the earlier one from
        // being dropped unseen by the next commit.
        const std::uint64_t hash = NameHash(value.name);
        const bool twice = std::any_of(names_.begin(), names_.end(), [&](const auto& name) {
            return name.first == hash &&
                   SameName(section_->entries[name.second].value.name, value.name);
        });
        names_.emplace_back(hash, section_->entries.size());
        if (twice) {
            return Fail("the value " + (value.name.empty() ? "@" : Quoted(value.name)) +
                        " appears a second time in the key");
        }
        section_->entries.push_back(std::move(entry));
        return true;
    }

    bool ReadData(std::string_view s, RegEntry& entry) {
        RegValue& value = entry.value;
        std::uint32_t number = 0;
        if (!s.empty() && s.front() == '-') {
            return Fail("deleting a value (=-) is not supported in the registry file");
        }
        if (!s.empty() && s.front() == '"') {
            std::string text, error;
            if (!ReadQuoted(s, text, error)) {
                return Fail(error);
            }
            value.type = kRegSz;
            if (document_.format == RegFormat::kVersion5) {
                text = Utf8ToUtf16(text);
                text.push_back('\0');
            }
            value.data.reserve(text.size() + 1);
            value.data.assign(text.begin(), text.end());
            value.data.push_back(0);
        } else if (StartsWithNoCase(s, "dword:")) {
            s.remove_prefix(6);
            if (!ReadHex(s, 8, number)) {
                return Fail("expected 1 to 8 hex digits after \"dword:\"");
            }
            value.type = kRegDword;
            value.data.reserve(4);
            for (int shift = 0; shift < 32; shift += 8) {
                value.data.push_back(static_cast<std::uint8_t>(number >> shift));
            }
        } else if (StartsWithNoCase(s, "hex:")) {
            s.remove_prefix(4);
            value.type = kRegBinary;
            return ReadBytes(s, entry);
        } else if (StartsWithNoCase(s, "hex(")) {
            s.remove_prefix(4);
            if (!ReadHex(s, 8, number) || s.substr(0, 2) != "):") {
                return Fail("expected hex(type): with the type in 1 to 8 hex digits");
            }
            s.remove_prefix(2);
            value.type = number;
            return ReadBytes(s, entry);
        } else {
            return Fail("expected a quoted text, dword: or hex: after \"=\"");
        }
        if (!AtLineEnd(s)) {
            return Fail("unexpected text after the value");
        }
        return true;
    }

    // Comma-separated hex bytes; a line ending in "\" goes on in the next line.
    bool ReadBytes(std::string_view s, RegEntry& entry) {
        auto& data = entry.value.data;
        bool afterComma = false;
        for (;;) {
            SkipBlanks(s);
            if (s.empty() || s.front() == ';') {
                return afterComma ? Fail("expected a hex byte after \",\"") : true;
            }
            if (s.front() == '\\') {
                s.remove_prefix(1);
                if (!AtLineEnd(s)) {
                    return Fail("unexpected text after \"\\\"");
                }
                if (next_ >= lines_.size()) {
                    return Fail("the file ends after a line continued with \"\\\"");
                }
                s = lines_[next_++];
                AppendLine(entry.lines, s);
                continue;
            }
            if (!afterComma && !data.empty()) {
                return Fail("expected \",\" between hex bytes");
            }
            std::uint32_t byte = 0;
            if (!ReadHex(s, 2, byte)) {
                return Fail("expected a hex byte");
            }
            data.push_back(static_cast<std::uint8_t>(byte));
            SkipBlanks(s);
            afterComma = !s.empty() && s.front() == ',';
            if (afterComma) {
                s.remove_prefix(1);
            }
        }
    }

    RegDocument& document_;
    RegParseError& error_;
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;  // index of the line after the one being read
    RegSection* section_ = nullptr;
    // Each key's section, so that a file of many keys reads in linear time.
    std::unordered_map<std::string, std::size_t> sectionIndex_;
    // The hash and entry of each value of section_, so that a name set twice
    // is found without comparing every pair of names.
    std::vector<std::pair<std::uint64_t, std::size_t>> names_;
};

}  // namespace

namespace {

// The index of the value's entry, searching from the section's searchFrom
// round to where it started; entries.size() when there is none.
std::size_t FindEntry(const RegSection& section, std::string_view name) {
    const std::size_t count = section.entries.size();
    const std::size_t start = section.searchFrom < count ? section.searchFrom : 0;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t i = (start + step) % count;
        const RegEntry& entry = section.entries[i];
        if (entry.isValue && SameName(entry.value.name, name)) {
            section.searchFrom = i + 1;
            return i;
        }
    }
    return count;
}

}  // namespace

const RegValue* RegSection::Find(std::string_view name) const {
    const std::size_t i = FindEntry(*this, name);
    return i < entries.size() ? &entries[i].value : nullptr;
}

bool RegSection::Set(std::string_view name, ValueType type, std::vector<std::uint8_t> data) {
    if (const std::size_t i = FindEntry(*this, name); i < entries.size()) {
        RegEntry& entry = entries[i];
        if (entry.value.type == type && entry.value.data == data) {
            return false;
        }
        entry.value.type = type;
        entry.value.data = std::move(data);
        entry.lines.clear();
        return true;
    }
    // After the last value, before the comments and blank lines that end the section.
    auto last = std::find_if(entries.rbegin(), entries.rend(),
                             [](const RegEntry& entry) { return entry.isValue; });
    const auto added =
        entries.insert(last.base(), RegEntry{true, {std::string(name), type, std::move(data)}, {}});
    searchFrom = static_cast<std::size_t>(added - entries.begin()) + 1;
    return true;
}

RegSection* RegDocument::FindSection(std::string_view path) {
    const auto found = std::find_if(sections.begin(), sections.end(),
                                    [&](const RegSection& s) { return SamePath(s.path, path); });
    return found != sections.end() ? &*found : nullptr;
}

const RegSection* RegDocument::FindSection(std::string_view path) const {
    return const_cast<RegDocument*>(this)->FindSection(path);
}

bool RegDocument::KeyExists(std::string_view path) const {
    return std::any_of(sections.begin(), sections.end(),
                       [&](const RegSection& section) { return IsKeyOrUnder(section.path, path); });
}

RegSection& RegDocument::AddSection(std::string_view path) {
    const auto parts = SplitPath(path);
    std::vector<std::string_view> best;
    std::size_t bestCount = 0;
    for (const auto& section : sections) {
        auto other = SplitPath(section.path);
        const std::size_t count = CommonParts(other, parts);
        if (count > bestCount) {
            bestCount = count;
            best = std::move(other);
        }
    }
    std::string spelled;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        spelled += i == 0 ? "" : "\\";
        spelled += i < bestCount ? best[i] : parts[i];
    }
    // A blank line between sections, as regedit writes them.
    if (sections.empty()) {
        if (preamble.empty() || !IsBlankLine(preamble.back())) {
            preamble.emplace_back();
        }
    } else {
        auto& entries = sections.back().entries;
        if (entries.empty() || entries.back().isValue || !IsBlankLine(entries.back().lines)) {
            entries.push_back(RegEntry{false, {}, "\n"});
        }
    }
    sections.push_back(RegSection{std::move(spelled), {}, {}});
    sections.back().entries.push_back(RegEntry{false, {}, "\n"});
    return sections.back();
}

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

namespace {

// FormatRegValue's text, appended to the file being written rather than
// built in strings of its own.
void AppendRegValue(std::string& out, const RegValue& value, std::string_view lineEnd,
                    RegFormat format) {
    const std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, value.name);
    }
    out += '=';
    const auto& data = value.data;
    if (value.type == kRegSz && format == RegFormat::kRegedit4 && IsPlainText(data)) {
        AppendQuoted(out,
                     std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
        return;
    }
    if (std::string text;
        value.type == kRegSz && format == RegFormat::kVersion5 && IsPlainUtf16Text(data, text)) {
        AppendQuoted(out, text);
        return;
    }
    if (value.type == kRegDword && data.size() == 4) {
        const std::uint32_t number =
            data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
        out += "dword:";
        AppendHex(out, number, 8);
        return;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
    } else {
        out += "hex(";
        AppendHex(out, value.type, 1);
        out += "):";
    }
    // Lines of about 80 columns, continued with "\", as regedit writes them.
    std::size_t column = out.size() - lineStart;
    for (std::size_t i = 0; i < data.size(); ++i) {
        AppendHex(out, data[i], 2);
        column += 2;
        if (i + 1 < data.size()) {
            out += ',';
            if (++column > 76) {
                out += '\\';
                out += lineEnd;
                out += "  ";
                column = 2;
            }
        }
    }
}

}  // namespace

std::string FormatRegValue(const RegValue& value, std::string_view lineEnd, RegFormat format) {
    std::string out;
    AppendRegValue(out, value, lineEnd, format);
    return out;
}

bool ParseRegFile(std::string_view text, RegDocument& document, RegParseError& error) {
    document = RegDocument{};
    std::string decoded;
    if (text.starts_with("\xFF\xFE")) {  // UTF-16LE, as regedit exports version 5.00
        document.format = RegFormat::kVersion5;
        if (!DecodeUtf16File(text.substr(2), decoded, error)) {
            return false;
        }
        text = decoded;
    } else if (text.starts_with("\xEF\xBB\xBF")) {  // a UTF-8 mark from an editor
        document.utf8Mark = true;
        text.remove_prefix(3);
    }
    return Parser(text, document, error).Run();
}

std::string WriteRegFile(const RegDocument& document) {
    const std::string_view eol = document.crlf ? "\r\n" : "\n";
    const bool version5 = document.format == RegFormat::kVersion5;
    std::string out(version5 ? kVersion5Header : kRegedit4Header);
    out += eol;
    for (const auto& line : document.preamble) {
        out += line;
        out += eol;
    }
    for (const auto& section : document.sections) {
        out += section.header.empty() ? '[' + section.path + ']' : section.header;
        out += eol;
        for (const auto& entry : section.entries) {
            if (entry.isValue && entry.lines.empty()) {
                AppendRegValue(out, entry.value, eol, document.format);
                out += eol;
            } else {
                AppendLines(out, entry.lines, eol);
            }
        }
    }
    if (version5) {
        return "\xFF\xFE" + Utf8ToUtf16(out);
    }
    return document.utf8Mark ? "\xEF\xBB\xBF" + out : out;
}

}  // namespace tavirap
