// The parser: a registry file's bytes into a RegDocument, or the line regedit would refuse.
#include <algorithm>
#include <unordered_map>
#include <utility>

#include "store/RegFileParts.h"

namespace tavirap {

using namespace regfile;

namespace {

void SkipBlanks(std::string_view& s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
}

void AppendLine(std::string& lines, std::string_view line) {
    lines.reserve(lines.size() + line.size() + 1);
    lines += line;
    lines += '\n';
}

// A line as an error message quotes it: its start, other bytes than
// printable ASCII as \xNN.
std::string Shown(std::string_view line) {
    if (line.empty()) {
        return "an empty line";
    }
    constexpr std::size_t kShown = 40;
    std::string shown = "\"";
    for (const char c : line.substr(0, kShown)) {
        if (c >= ' ' && c <= '~') {
            shown += c;
        } else {
            constexpr const char* kHex = "0123456789abcdef";
            const auto byte = static_cast<unsigned char>(c);
            shown += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
        }
    }
    return shown + (line.size() > kShown ? "...\"" : "\"");
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

class Parser {
public:
    Parser(std::string_view text, RegDocument& document, std::vector<RegParseError>& errors,
           bool keepGoing)
        : document_(document), errors_(errors), keepGoing_(keepGoing) {
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
        // Windows' import also takes the version 5.00 header on 8-bit text, as
        // many editors save it; its texts are then the code page's bytes, as
        // in a REGEDIT4 file, and it is written back with the header it had.
        const bool wide = document_.format == RegFormat::kVersion5;
        if (!wide && first == kVersion5Header) {
            document_.version5Header = true;
        } else if (first != (wide ? kVersion5Header : kRegedit4Header)) {
            return Fail(
                "expected " +
                (wide ? std::string(kVersion5Header)
                      : std::string(kRegedit4Header) + " or " + std::string(kVersion5Header)) +
                " on the first line, found " + Shown(first));
        }
        for (next_ = 1; next_ < lines_.size();) {
            const std::string_view raw = lines_[next_++];
            std::string_view line = raw;
            SkipBlanks(line);
            bool ok = true;
            if (raw.find('\0') != std::string_view::npos) {
                // What a file zeroed by a crash or a binary file holds; text never does.
                ok = Fail("a NUL byte in the line: the file is damaged or is no text");
            } else if (line.empty() || line.front() == ';') {
                AddComment(raw);
            } else if (line.front() == '[') {
                ok = ReadSection(line, raw);
            } else if (line.front() == '"' || line.front() == '@') {
                ok = ReadValue(line, raw);
            } else {
                ok = Fail("expected a [key], a \"name\"=value, @=value or a ; comment");
            }
            // A checking run goes on at the next line, so that one run
            // reports every line that is wrong.
            if (!ok && !keepGoing_) {
                return false;
            }
        }
        return errors_.empty();
    }

private:
    bool Fail(std::string message) {
        errors_.push_back({std::max<std::size_t>(next_, 1), std::move(message)});
        return false;
    }

    void AddComment(std::string_view raw) {
        if (section_ == nullptr) {
            document_.preamble.emplace_back(raw);
            return;
        }
        // A run of comment and blank lines is one entry, so that a value
        // added before the lines that end the section moves one entry, not
        // one per line.
        auto& entries = section_->entries;
        if (entries.empty() || entries.back().isValue) {
            entries.emplace_back();
        }
        AppendLine(entries.back().lines, raw);
    }

    bool ReadSection(std::string_view line, std::string_view raw) {
        // Until this line is read as a key, its values belong to none.
        inBadSection_ = true;
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
        if (!IsRootName(parts[0])) {
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
        inBadSection_ = false;
        // Kept per section, so that a key whose header repeats is not scanned again.
        names_.resize(document_.sections.size());
        sectionNames_ = &names_[known->second];
        return true;
    }

    bool ReadValue(std::string_view s, std::string_view raw) {
        if (inBadSection_) {
            return true;  // its key line was reported
        }
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
        const auto [first, last] = sectionNames_->equal_range(hash);
        const bool twice = std::any_of(first, last, [&](const auto& name) {
            return SameName(section_->entries[name.second].value.name, value.name);
        });
        sectionNames_->emplace(hash, section_->entries.size());
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
    std::vector<RegParseError>& errors_;
    bool keepGoing_;
    bool inBadSection_ = false;
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;  // index of the line after the one being read
    RegSection* section_ = nullptr;
    // Each key's section, so that a file of many keys reads in linear time.
    std::unordered_map<std::string, std::size_t> sectionIndex_;
    // For each section, the hash and entry of each of its values, so that a
    // name set twice is found without comparing every pair of names.
    std::vector<std::unordered_multimap<std::uint64_t, std::size_t>> names_;
    std::unordered_multimap<std::uint64_t, std::size_t>* sectionNames_ = nullptr;
};

}  // namespace

namespace {

bool Parse(std::string_view text, RegDocument& document, std::vector<RegParseError>& errors,
           bool keepGoing) {
    document = RegDocument{};
    std::string decoded;
    if (text.starts_with("\xFF\xFE")) {  // UTF-16LE, as regedit exports version 5.00
        document.format = RegFormat::kVersion5;
        if (RegParseError error; !DecodeUtf16File(text.substr(2), decoded, error)) {
            errors.push_back(error);
            return false;
        }
        text = decoded;
    } else if (text.starts_with("\xEF\xBB\xBF")) {  // a UTF-8 mark from an editor
        document.utf8Mark = true;
        text.remove_prefix(3);
    }
    return Parser(text, document, errors, keepGoing).Run();
}

}  // namespace

bool ParseRegFile(std::string_view text, RegDocument& document, RegParseError& error) {
    std::vector<RegParseError> errors;
    if (Parse(text, document, errors, false)) {
        return true;
    }
    error = errors.front();
    return false;
}

bool ParseRegFile(std::string_view text, RegDocument& document,
                  std::vector<RegParseError>& errors) {
    return Parse(text, document, errors, true);
}

}  // namespace tavirap
