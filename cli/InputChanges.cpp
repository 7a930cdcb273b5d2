#include "cli/InputChanges.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "settings/Text.h"
#include "store/Machine.h"
#include "store/RegFile.h"
#include "store/SettingsIo.h"

namespace tavirap {

namespace {

// The values every Windows service key holds beside the driver's own: a
// `reg export` of the whole key carries them. They are the service's, not
// the settings', and are left alone.
constexpr const char* kServiceValueNames[] = {
    "Type",
    "Start",
    "ErrorControl",
    "ImagePath",
    "DisplayName",
    "Description",
    "Group",
    "ObjectName",
    "DependOnService",
    "DependOnGroup",
    "Tag",
    "FailureActions",
    "FailureCommand",
    "RebootMessage",
    "ServiceSidType",
    "RequiredPrivileges",
    "DelayedAutostart",
    "LaunchProtected",
    "PreshutdownTimeout",
    "WOW64",
    "Environment",
    "FailureActionsOnNonCrashFailures",
    "DriverFlags",
};

// The whole key path as a registry file names it.
std::string DriverKeyPath() {
    return std::string(kLocalMachine) + "\\" + std::string(kServiceKeyPath);
}

// For a number a file refused: dword: data is hexadecimal, which a number
// written in decimal ("dword:16", read as 22) is easily taken for.
std::string DwordHint(const StoredRow& row, std::int32_t number, std::size_t line) {
    const std::string digits = Hex(static_cast<std::uint32_t>(number));
    const std::optional<std::int64_t> decimal = ParseNumber(digits);
    if (line == 0 || !decimal || !CheckNumber(row, *decimal).empty()) {
        return "";
    }
    return " (dword: data is hexadecimal: dword:" + digits + " is " + std::to_string(number) +
           "; " + digits + " is dword:" + Hex(static_cast<std::uint32_t>(*decimal), 8) + ")";
}

// Checks a change and adds why it is refused, or what the driver might not
// understand, to the findings.
void Check(Change& change, std::size_t line, const std::string& what, Findings& findings) {
    const StoredRow& row = *change.value.row;
    const std::string* entry =
        row.kind == StoredRow::kText ? ListedEntry(row, change.text) : nullptr;
    if (entry != nullptr && *entry != change.text) {
        findings.Add(Finding::kNote, line,
                     what + "stored as the list spells it, \"" + *entry + "\"");
        change.text = *entry;
    }
    if (row.kind == StoredRow::kNumber) {
        if (std::string why = CheckNumber(row, change.number); !why.empty()) {
            findings.Add(Finding::kProblem, line, what + why + DwordHint(row, change.number, line));
        }
    } else if (std::string why = CheckText(row, change.text); !why.empty()) {
        findings.Add(Finding::kProblem, line, what + why);
    } else if (std::string warning = TextWarning(row, change.text); !warning.empty()) {
        findings.Add(Finding::kWarning, line, what + warning);
    }
    // A fleet's file is often made on another computer: a main port that this
    // one lacks is pointed out, never refused (not even by --strict).
    if (&row == FindSchemaValue("TRxPort")->row) {
        if (const ComPorts machine = ReadComPorts(false);
            machine.known && machine.status.Ok() && !machine.Has(change.text)) {
            std::string names;
            for (std::size_t i = 0; i < machine.ports.size(); ++i) {
                names += (i == 0                          ? ""
                          : i + 1 == machine.ports.size() ? " and "
                                                          : ", ") +
                         machine.ports[i].name;
            }
            findings.Add(Finding::kNote, line,
                         what + change.text + " is no COM port of this computer" +
                             (names.empty() ? ", which has none" : " (it has " + names + ")") +
                             "; it is stored all the same");
        }
    }
}

// A value as a file holds it: the right type for its name, then its check.
void ChangeFromFile(const RegEntry& entry, RegFormat format, Changes& changes, Findings& findings) {
    const RegValue value = entry.Value();
    const std::string what = Quoted(value.name) + ": ";
    const std::optional<SchemaValue> target = FindSchemaValue(value.name);
    if (!target) {
        const bool service = std::ranges::any_of(
            kServiceValueNames, [&](const char* name) { return SameName(name, value.name); });
        findings.Add(
            service ? Finding::kNote : Finding::kProblem, entry.line,
            what + (service ? "a value of the service itself, not a setting: left alone"
                            : "no value of the TAVIRPORT driver's settings has this name"));
        return;
    }
    Change change{*target, 0, {}};
    if (target->row->kind == StoredRow::kText) {
        if (value.type != kRegSz) {
            return findings.Add(Finding::kProblem, entry.line, what + "must be a text (REG_SZ)");
        }
        std::string text(value.data.begin(), value.data.end());
        if (format == RegFormat::kVersion5) {
            text = Utf16ToUtf8(text);
        }
        // The zero bytes after the text pad it to its fixed size; one inside it is refused.
        change.text = text.substr(0, text.find_last_not_of('\0') + 1);
    } else {
        if (value.type != kRegDword || value.data.size() != 4) {
            return findings.Add(Finding::kProblem, entry.line,
                                what + "must be a number (dword, REG_DWORD of 4 bytes)");
        }
        change.number = static_cast<std::int32_t>(DwordBits(value.data));
    }
    Check(change, entry.line, what, findings);
    if (!changes.Add(change)) {
        findings.Add(Finding::kProblem, entry.line, what + "given a second time");
    }
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The file's bytes, or standard input's for "-", up to the registry file's limit.
bool ReadInput(const std::string& file, Console& io, std::string& text, std::string& error) {
    const std::string shown = file == "-" ? "standard input" : file;
    if (file == "-") {
        if (!io.readInput(text, kMaxRegFileSize)) {
            error = shown + ": cannot be read";
            return false;
        }
    } else {
        struct stat info {};
        if (::stat(file.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            error = file + ": is a folder, not a registry file";
            return false;
        }
        errno = 0;
        const File in(std::fopen(file.c_str(), "rb"), std::fclose);
        text.assign(kMaxRegFileSize + 1, '\0');
        const std::size_t got = in ? std::fread(text.data(), 1, text.size(), in.get()) : 0;
        if (!in || std::ferror(in.get())) {
            error = file + ": cannot be read: " + std::strerror(errno != 0 ? errno : EIO);
            return false;
        }
        text.resize(got);
    }
    if (text.size() > kMaxRegFileSize) {
        error = shown + ": larger than 1 MiB, refused";
        return false;
    }
    return true;
}

}  // namespace

std::string Quoted(std::string_view name) {
    return name.empty() ? "@" : "\"" + std::string(name) + "\"";
}

bool Changes::Add(Change change) {
    // A run changes at most the key's few dozen values: a look at each is enough.
    if (std::ranges::any_of(list, [&](const Change& c) {
            return c.value.row == change.value.row && c.value.index == change.value.index;
        })) {
        return false;
    }
    list.push_back(std::move(change));
    return true;
}

void Changes::ApplyTo(PortSettings& settings) const {
    for (const Change& change : list) {
        const StoredRow& row = *change.value.row;
        if (row.kind == StoredRow::kNumber) {
            row.setNumber(settings, change.value.index, change.number);
        } else {
            settings.*row.member = change.text;
        }
    }
}

bool ChangesFromFile(const std::string& file, bool strict, Console& io, Changes& changes) {
    std::string& err = io.err;
    std::string text, error;
    if (!ReadInput(file, io, text, error)) {
        err += std::string(kProgram) + ": " + error + "\n";
        return false;
    }
    const std::string shown = file == "-" ? "<stdin>" : file;
    RegDocument document;
    std::vector<RegParseError> syntax;
    Findings findings;
    ParseRegFile(text, document, syntax);
    for (RegParseError& e : syntax) {
        findings.Add(Finding::kProblem, e.line, std::move(e.message));
    }
    const std::string driverKey = DriverKeyPath();
    const RegSection* driver = document.FindSection(driverKey);
    for (const RegSection& section : document.sections) {
        const bool subkey = section.path.size() > driverKey.size() &&
                            section.path[driverKey.size()] == '\\' &&
                            SameName(section.path.substr(0, driverKey.size()), driverKey);
        if (subkey) {
            findings.Add(
                Finding::kNote, section.line,
                "[" + section.path + "]: a subkey of the service, not a setting: left alone");
        } else if (&section != driver) {
            findings.Add(Finding::kProblem, section.line,
                         "[" + section.path + "] is not the TAVIRPORT driver's key; only [" +
                             driverKey + "] may be imported");
        }
    }
    if (driver == nullptr && syntax.empty()) {
        findings.Add(Finding::kProblem, 0, "holds no [" + driverKey + "] key");
    }
    for (const RegEntry& entry : driver != nullptr ? driver->entries : std::vector<RegEntry>{}) {
        if (entry.isValue) {
            ChangeFromFile(entry, document.format, changes, findings);
        }
    }
    return findings.Report(shown, strict, err);
}

void ChangeFromArgument(std::string_view name, std::string_view value, Changes& changes,
                        Findings& findings) {
    std::string shown(value);  // on one line, whatever it holds
    for (auto at = shown.find('\n'); at != std::string::npos; at = shown.find('\n', at)) {
        shown.replace(at, 1, "\\n");
    }
    const std::string what = "--set " + std::string(name) + "=" + shown + ": ";
    const std::optional<SchemaValue> target = FindSchemaValue(name);
    if (!target) {
        return findings.Add(
            Finding::kProblem, 0,
            what + Quoted(name) + " is no value of the TAVIRPORT driver's settings");
    }
    Change change{*target, 0, {}};
    if (target->row->kind == StoredRow::kText) {
        change.text = value;
    } else {
        // Read as the dialog's fields read it.
        const std::optional<std::int64_t> number = ParseNumber(value);
        if (!number) {
            return findings.Add(
                Finding::kProblem, 0,
                what + Quoted(name) + " takes a whole number, not \"" + std::string(value) + "\"");
        }
        // Checked before narrowing, so that a number too large is refused, not wrapped.
        if (std::string why = CheckNumber(*target->row, *number); !why.empty()) {
            return findings.Add(Finding::kProblem, 0, what + why);
        }
        change.number = static_cast<std::int32_t>(*number);
    }
    Check(change, 0, what, findings);
    if (!changes.Add(change)) {
        findings.Add(Finding::kProblem, 0,
                     what + Quoted(target->Name()) + " is given a second time");
    }
}

}  // namespace tavirap
