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
        : document_(document),
          errors_(errors),
          keepGoing_(keepGoing),
          hasNul_(std::memchr(text.data(), '\0', text.size()) != nullptr) {
        const auto firstEnd = text.find('\n');
        document_.crlf =
            firstEnd == std::string_view::npos || firstEnd == 0 || text[firstEnd - 1] == '\r';
        lines_ = {text, document_.crlf};
    }

    bool Run() {
        std::string_view first;
        lines_.Next(first);
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
        for (std::string_view raw; lines_.Next(raw);) {
            std::string_view line = raw;
            SkipBlanks(line);
            bool ok = true;
            if (hasNul_ && std::memchr(raw.data(), '\0', raw.size()) != nullptr) {
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
        errors_.push_back({std::max<std::size_t>(lines_.number, 1), std::move(message)});
        return false;
    }

    // The line just read with its line end, as the text holds it.
    std::string_view Whole(std::string_view raw) const {
        return {raw.data(), static_cast<std::size_t>(lines_.rest.data() - raw.data())};
    }

    void AddComment(std::string_view raw) {
        if (section_ == nullptr) {
            document_.preamble.push_back(raw);
            return;
        }
        // A run of comment and blank lines is one entry, so that a value
        // added before the lines that end the section moves one entry, not
        // one per line.
        auto& entries = section_->entries;
        if (entries.empty() || entries.back().isValue) {
            entries.emplace_back().read = Whole(raw);
            return;
        }
        RegEntry& run = entries.back();
        if (run.joined.empty() && run.read.data() + run.read.size() == raw.data()) {
            run.read = {run.read.data(), run.read.size() + Whole(raw).size()};
            return;
        }
        // A repeated [key] line came between: the run is no longer one stretch of the text.
        if (run.joined.empty()) {
            run.joined = run.read;
        }
        run.joined += Whole(raw);
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
        std::uint64_t hash = 0;
        if (!PathHash(path, hash)) {
            return Fail("unknown root key \"" + std::string(root) + "\"");
        }
        if (path.find("\\\\") != std::string_view::npos || path.back() == '\\') {
            return Fail("empty key name in \"" + std::string(path) + "\"");
        }
        const auto count = static_cast<std::uint32_t>(document_.sections.size());
        const auto* known = sectionIndex_.FindOrAdd({hash, count}, [&](const auto& slot) {
            return SamePath(document_.sections[slot.section].path, path);
        });
        if (known == nullptr) {
            document_.sections.push_back(RegSection{std::string(path), {}, raw});
            document_.sections.back().line = lines_.number;
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
        entry.wide = document_.format == RegFormat::kVersion5;
        entry.line = lines_.number;
        ValueSink checking{lines_};  // keeps nothing but the name's hash
        Scanned scanned;
        if (std::string error; !ScanValue(s, checking, scanned, error)) {
            return Fail(std::move(error));
        }
        entry.read = Whole(raw);
        entry.nameHash = checking.nameHash;
        // Import would keep the later line; refusing keeps the earlier one from
        // being dropped unseen by the next commit. Names are read only when
        // their hashes are the same.
        auto& entries = section_->entries;
        const HashIndex::Slot named{entry.nameHash + sectionNumber_ * 0x9E3779B97F4A7C15u,
                                    sectionNumber_, static_cast<std::uint32_t>(entries.size())};
        std::string name;
        if (names_.FindOrAdd(named, [&](const auto& slot) {
                if (slot.section != sectionNumber_ ||
                    entries[slot.entry].nameHash != entry.nameHash) {
                    return false;
                }
                name = entry.Name();
                return SameName(entries[slot.entry].Name(), name);
            }) != nullptr) {
            return Fail("the value " + (name.empty() ? "@" : Quoted(name)) +
                        " appears a second time in the key");
        }
        if (entries.empty()) {
            entries.reserve(8);  // most keys hold a few values: one allocation, not four
        }
        entries.push_back(std::move(entry));
        return true;
    }

    RegDocument& document_;
    std::vector<RegParseError>& errors_;
    bool keepGoing_;
    bool inBadSection_ = false;
    bool hasNul_ = false;  // whether any line has to be searched for one
    LineReader lines_;
    RegSection* section_ = nullptr;
    std::uint32_t sectionNumber_ = 0;
    // Each key's section, so that a file of many keys reads in linear time,
    // and each section's value names, so that a name set twice is found
    // without comparing every pair of names.
    HashIndex sectionIndex_;
    HashIndex names_;
};

}  // namespace

// A value's decoding from its lines, which the parser checked: everything is
// kept. A carriage return left at a line's end is a blank to the scanning.
RegValue RegEntry::Value() const {
    if (set != nullptr || !isValue) {
        return set != nullptr ? *set : RegValue{};
    }
    RegValue value;
    LineReader lines{read};
    ValueSink decoding{lines, &value};
    std::string_view first;
    lines.Next(first);
    SkipBlanks(first);
    Scanned scanned;
    std::string error;
    ScanValue(first, decoding, scanned, error);
    value.type = scanned.type;
    if (scanned.quoted) {
        const std::string data = wide ? Utf8ToUtf16(decoding.text) + '\0' : decoding.text;
        value.data.assign(data.begin(), data.end());
        value.data.push_back(0);
    }
    return value;
}

std::string RegEntry::Name() const {
    if (set != nullptr || !isValue) {
        return set != nullptr ? set->name : std::string();
    }
    std::string_view s = read;
    SkipBlanks(s);
    LineReader lines;
    RegValue value;
    ValueSink decoding{lines, &value};
    if (std::string error; s.front() == '"') {
        ReadQuoted(s, decoding, true, error);
    }
    return value.name;
}

namespace {

bool Parse(std::string_view text, RegDocument& document, std::vector<RegParseError>& errors,
           bool keepGoing) {
    document = RegDocument{};
    auto kept = std::make_shared<std::string>();
    if (text.starts_with("\xFF\xFE")) {  // UTF-16LE, as regedit exports version 5.00
        document.format = RegFormat::kVersion5;
        if (RegParseError error; !DecodeUtf16File(text.substr(2), *kept, error)) {
            errors.push_back(error);
            return false;
        }
    } else {
        if (text.starts_with("\xEF\xBB\xBF")) {  // a UTF-8 mark from an editor
            document.utf8Mark = true;
            text.remove_prefix(3);
        }
        kept->assign(text);
    }
    document.text = kept;
    return Parser(*kept, document, errors, keepGoing).Run();
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
