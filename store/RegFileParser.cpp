// The parser: a registry file's bytes into a RegDocument, or the line regedit would refuse.
#include <algorithm>
#include <cstring>
#include <utility>

#include "store/RegFileScan.h"

namespace tavirap {

using namespace regfile;

namespace {

class Parser {
public:
    Parser(std::string_view text, RegDocument& document, std::vector<RegParseError>& errors,
           bool keepGoing)
        : document_(document), errors_(errors), keepGoing_(keepGoing), rest_(text) {
        const auto firstEnd = text.find('\n');
        document_.crlf =
            firstEnd == std::string_view::npos || firstEnd == 0 || text[firstEnd - 1] == '\r';
    }

    bool Run() {
        std::string_view first;
        NextLine(first);
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
        for (std::string_view raw; NextLine(raw);) {
            std::string_view line = raw;
            SkipBlanks(line);
            bool ok = true;
            if (std::memchr(raw.data(), '\0', raw.size()) != nullptr) {
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
    // The next line, without its line end, found with memchr; false at the
    // end of the text.
    bool NextLine(std::string_view& line) {
        if (rest_.empty()) {
            return false;
        }
        const auto* end = static_cast<const char*>(std::memchr(rest_.data(), '\n', rest_.size()));
        const std::size_t length =
            end != nullptr ? static_cast<std::size_t>(end - rest_.data()) : rest_.size();
        line = rest_.substr(0, length);
        rest_.remove_prefix(end != nullptr ? length + 1 : length);
        if (document_.crlf && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++next_;
        return true;
    }

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
        const std::string_view root = path.substr(0, path.find('\\'));
        if (!IsRootName(root)) {
            return Fail("unknown root key \"" + std::string(root) + "\"");
        }
        if (path.find("\\\\") != std::string_view::npos || path.back() == '\\') {
            return Fail("empty key name in \"" + std::string(path) + "\"");
        }
        const auto count = static_cast<std::uint32_t>(document_.sections.size());
        const auto* known = sectionIndex_.FindOrAdd({PathHash(path), count}, [&](const auto& slot) {
            return SamePath(document_.sections[slot.section].path, path);
        });
        if (known == nullptr) {
            document_.sections.push_back(RegSection{std::string(path), {}, std::string(raw)});
            document_.sections.back().line = next_;
        }
        sectionNumber_ = known != nullptr ? known->section : count;
        section_ = &document_.sections[sectionNumber_];
        inBadSection_ = false;
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
        const auto entries = static_cast<std::uint32_t>(section_->entries.size());
        const HashIndex::Slot named{NameHash(value.name, sectionNumber_), sectionNumber_, entries};
        if (names_.FindOrAdd(named, [&](const auto& slot) {
                return slot.section == sectionNumber_ &&
                       SameName(section_->entries[slot.entry].value.name, value.name);
            }) != nullptr) {
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
            std::string error;
            value.type = kRegSz;
            if (document_.format == RegFormat::kVersion5) {
                std::string text;
                if (!ReadQuoted(s, text, error)) {
                    return Fail(error);
                }
                text = Utf8ToUtf16(text);
                value.data.assign(text.begin(), text.end());
                value.data.push_back(0);
            } else if (!ReadQuoted(s, value.data, error)) {
                return Fail(error);
            }
            value.data.push_back(0);
        } else if (StartsWithText(s, "dword:")) {
            s.remove_prefix(6);
            if (!ReadHex(s, 8, number)) {
                return Fail("expected 1 to 8 hex digits after \"dword:\"");
            }
            value.type = kRegDword;
            value.data.reserve(4);
            for (int shift = 0; shift < 32; shift += 8) {
                value.data.push_back(static_cast<std::uint8_t>(number >> shift));
            }
        } else if (StartsWithText(s, "hex:")) {
            s.remove_prefix(4);
            value.type = kRegBinary;
            return ReadBytes(s, entry);
        } else if (StartsWithText(s, "hex(")) {
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
                if (!NextLine(s)) {
                    return Fail("the file ends after a line continued with \"\\\"");
                }
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
    std::string_view rest_;  // the text after the line being read
    std::size_t next_ = 0;   // the number of the line being read, counted from 1
    RegSection* section_ = nullptr;
    std::uint32_t sectionNumber_ = 0;
    // Each key's section, so that a file of many keys reads in linear time,
    // and each section's value names, so that a name set twice is found
    // without comparing every pair of names.
    HashIndex sectionIndex_;
    HashIndex names_;
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
