#include "cli/CommandLine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <set>

#include "Version.h"
#include "cli/ExportFile.h"
#include "settings/SettingsSchema.h"
#include "store/RegFile.h"
#include "store/SettingsIo.h"

namespace tavirap {

namespace {

constexpr const char* kProgram = "tavirap";

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

std::string Quoted(std::string_view name) {
    return name.empty() ? "@" : "\"" + std::string(name) + "\"";
}

// What a run was given beside its option: the option's operands and the
// flags, which may stand before or after it.
struct Run {
    std::vector<std::string> operands;
    bool dryRun = false;
    bool strict = false;
    SettingsStore& store;
    Console& io;
};

// One message about the input, where it is: problems refuse the input,
// warnings refuse it under --strict, notes never do.
struct Finding {
    enum Kind { kNote, kWarning, kProblem } kind;
    std::size_t line;  // 0: not in a file
    std::string text;
};

struct Findings {
    std::vector<Finding> list;

    void Add(Finding::Kind kind, std::size_t line, std::string text) {
        list.push_back({kind, line, std::move(text)});
    }
    // Written in line order, each line as "where:line: text"; whether the
    // input is accepted.
    bool Report(const std::string& where, bool strict, std::string& err) {
        std::ranges::stable_sort(list, {}, &Finding::line);
        bool accepted = true;
        for (const Finding& f : list) {
            err += where + (f.line != 0 ? ":" + std::to_string(f.line) : "") + ": " + f.text + "\n";
            accepted =
                accepted && f.kind != Finding::kProblem && !(strict && f.kind == Finding::kWarning);
        }
        return accepted;
    }
};

// One value to store, checked.
struct Change {
    SchemaValue value;
    std::int32_t number = 0;
    std::string text;
};

// Checks a change and adds why it is refused, or what the driver might not
// understand, to the findings.
void Check(const Change& change, std::size_t line, const std::string& what, Findings& findings) {
    const StoredRow& row = *change.value.row;
    if (row.kind == StoredRow::kNumber) {
        if (std::string why = CheckNumber(row, change.number); !why.empty()) {
            findings.Add(Finding::kProblem, line, what + why);
        }
    } else if (std::string why = CheckText(row, change.text); !why.empty()) {
        findings.Add(Finding::kProblem, line, what + why);
    } else if (std::string warning = TextWarning(row, change.text); !warning.empty()) {
        findings.Add(Finding::kWarning, line, what + warning);
    }
}

// The changes of one run, each value at most once.
struct Changes {
    std::vector<Change> list;
    std::set<std::pair<const StoredRow*, int>> seen;

    // Whether the value is new to the run; a value given twice is refused,
    // whatever its spelling, so that no setting is dropped unseen.
    bool Add(Change change) {
        if (!seen.insert({change.value.row, change.value.index}).second) {
            return false;
        }
        list.push_back(std::move(change));
        return true;
    }
    void ApplyTo(PortSettings& settings) const {
        for (const Change& change : list) {
            const StoredRow& row = *change.value.row;
            if (row.kind == StoredRow::kNumber) {
                row.setNumber(settings, change.value.index, change.number);
            } else {
                settings.*row.member = change.text;
            }
        }
    }
};

// A value as a file holds it: the right type for its name, then its check.
void ChangeFromFile(const RegEntry& entry, RegFormat format, Changes& changes, Findings& findings) {
    const RegValue& value = entry.value;
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
        change.text = text.substr(0, text.find('\0'));  // readers stop at the first zero
    } else {
        if (value.type != kRegDword || value.data.size() != 4) {
            return findings.Add(Finding::kProblem, entry.line,
                                what + "must be a number (dword, REG_DWORD of 4 bytes)");
        }
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) {
            bits |= std::uint32_t{value.data[i]} << (8 * i);
        }
        change.number = static_cast<std::int32_t>(bits);
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

// The changes a registry file asks for. Every problem, warning and note is
// written on err, in line order, with the file and the line.
bool ChangesFromFile(const std::string& file, const Run& run, Changes& changes) {
    std::string& err = run.io.err;
    std::string text, error;
    if (!ReadInput(file, run.io, text, error)) {
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
    return findings.Report(shown, run.strict, err);
}

// NAME=VALUE, as --set takes it: numbers in decimal.
void ChangeFromArgument(std::string_view name, std::string_view value, Changes& changes,
                        Findings& findings) {
    const std::string what = "--set " + std::string(name) + "=" + std::string(value) + ": ";
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
        std::int64_t number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
            return findings.Add(
                Finding::kProblem, 0,
                what + Quoted(name) + " takes a whole number, not \"" + std::string(value) + "\"");
        }
        // Checked before narrowing, so that a number too large is refused, not wrapped.
        if (std::string why = CheckNumber(*target->row, number); !why.empty()) {
            return findings.Add(Finding::kProblem, 0, what + why);
        }
        change.number = static_cast<std::int32_t>(number);
    }
    Check(change, 0, what, findings);
    if (!changes.Add(change)) {
        findings.Add(Finding::kProblem, 0,
                     what + Quoted(target->Name()) + " is given a second time");
    }
}

int StoreFailure(const StoreResult& failure, std::string& err) {
    if (failure == status::kAccessDenied) {
        err += std::string(kProgram) +
               ": the TAVIRPORT driver's settings may not be changed by this user (" +
               failure.Text() + "): administrator rights are needed (--dry-run needs none)\n";
        return kExitAccessDenied;
    }
    err += std::string(kProgram) +
           ": the TAVIRPORT driver's settings could not be read or written: " + failure.Text() +
           "\n";
    return kExitStoreFailed;
}

// Stores the changes over what the key holds, through the dialog's save, and
// says what changed: a line per value, then "changed" or "unchanged".
int StoreChanges(const Run& run, const Changes& changes,
                 std::optional<std::string> ifUnchanged = std::nullopt) {
    const SaveOutcome saved = SaveChanges(
        run.store, {[&](PortSettings& s) { changes.ApplyTo(s); }, ifUnchanged, run.dryRun});
    if (!saved.status.Ok()) {
        return StoreFailure(saved.status, run.io.err);
    }
    if (saved.otherChange) {
        run.io.err += std::string(kProgram) +
                      ": the TAVIRPORT driver's settings were changed by another program since "
                      "they were read; nothing was stored\n";
        return kExitChanged;
    }
#include "cli/ExportFile.h"
    for (const ValueChange& change : saved.changes) {
        run.io.out += change.name + ": " + change.before + " -> " + change.after + "\n";
    }
    run.io.out += saved.changes.empty() ? "unchanged\n" : "changed\n";
    return kExitDone;
}

int Usage(std::string& err, const std::string& problem) {
    err += std::string(kProgram) + ": " + problem + "\nTry '" + kProgram +
           " --help' for more information.\n";
    return kExitUsage;
}

int Help(const Run& run);

int Version(const Run& run) {
    run.io.out += std::string(kProgram) + " " + TAVIRAP_VERSION_TEXT + "\n";
    return kExitDone;
}

// The key as a load would leave it, written as a REGEDIT4 file; nothing is
// written back, so it works for anyone who may read the key.
int Export(const Run& run) {
    const std::string file = run.operands.empty() ? "-" : run.operands[0];
    PortSettings settings;
    if (const StoreResult read = ReadSettingsOnly(run.store, settings); !read.Ok()) {
        return StoreFailure(read, run.io.err);
    }
    const std::string text = ExportSettings(run.store, settings);
    if (file == "-") {
        run.io.out += text;
        return kExitDone;
    }
    if (std::string why; !WriteExportFile(file, text, why)) {
        run.io.err += std::string(kProgram) + ": " + file + ": cannot be written: " + why + "\n";
        return kExitStoreFailed;
    }
    return kExitDone;
}

// NAME=VALUE lines that --set takes back, as any user may read them.
int Get(const Run& run) {
    std::vector<SchemaValue> values;
    bool ok = true;
    for (const std::string& name : run.operands) {
        if (const std::optional<SchemaValue> value = FindSchemaValue(name)) {
            values.push_back(*value);
        } else {
            run.io.err += std::string(kProgram) + ": --get: " + Quoted(name) +
                          " is no value of the TAVIRPORT driver's settings\n";
            ok = false;
        }
    }
    if (!ok) {
        return kExitRefused;
    }
    PortSettings settings;
    if (const StoreResult read = ReadSettingsOnly(run.store, settings); !read.Ok()) {
        return StoreFailure(read, run.io.err);
    }
    // As SAVE would store them, so that --set takes each line back unchanged.
    const std::vector<RegValue> stored = StoredValues(run.store, settings);
    const std::vector<SchemaValue> every = EverySchemaValue();
    for (const SchemaValue& value : run.operands.empty() ? every : values) {
        const auto at = std::ranges::find_if(every, [&](const SchemaValue& v) {
            return v.row == value.row && v.index == value.index;
        });
        std::string shown = ShownValue(stored[static_cast<std::size_t>(at - every.begin())]);
        if (value.row->kind == StoredRow::kText) {
            shown = shown.substr(1, shown.size() - 2);  // as --set takes it, without quotes
        }
        run.io.out += value.Name() + "=" + shown + "\n";
    }
    return kExitDone;
}

int CheckFile(const Run& run) {
    Changes changes;
    return ChangesFromFile(run.operands[0], run, changes) ? kExitDone : kExitRefused;
}

int Import(const Run& run) {
    const bool guarded =
        run.operands.size() == 3 && run.operands[1] == "--if-unchanged" && !run.operands[2].empty();
    if (run.operands.size() != 1 && !guarded) {
        return Usage(run.io.err, "wrong number of arguments for --import");
    }
    Changes changes;
    if (!ChangesFromFile(run.operands[0], run, changes)) {
        return kExitRefused;
    }
    return StoreChanges(run, changes,
                        guarded ? std::optional<std::string>(run.operands[2]) : std::nullopt);
}

int Set(const Run& run) {
    Changes changes;
    Findings findings;
    for (const std::string& argument : run.operands) {
        const auto equals = argument.find('=');
        if (equals == std::string::npos) {
            return Usage(run.io.err, "--set " + argument + ": expected NAME=VALUE");
        }
        ChangeFromArgument(std::string_view(argument).substr(0, equals),
                           std::string_view(argument).substr(equals + 1), changes, findings);
    }
    return findings.Report(kProgram, run.strict, run.io.err) ? StoreChanges(run, changes)
                                                             : kExitRefused;
}

// Each option: its name, how many operands it takes, whether --dry-run and
// --strict go with it, its lines in the usage text and what runs it.
struct Option {
    const char* name;
    std::size_t least, most;
    bool dryRun, strict;
    const char* usage;
    int (*run)(const Run&);
};

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

constexpr Option kOptions[] = {
    {"--export", 0, 1, false, false,
     "--export [FILE]       write the settings as a REGEDIT4 file (standard\n"
     "                      output without FILE or with -)",
     Export},
    {"--get", 0, kAny, false, false,
     "--get [NAME...]       print values as NAME=VALUE lines (all without NAME)", Get},
    {"--check", 1, 1, false, true,
     "--check FILE|-        check a REGEDIT4 or version 5.00 file, store nothing", CheckFile},
    {"--import", 1, 3, true, true,
     "--import FILE|-       check a file (or standard input), then store its\n"
     "                      values\n"
     "  [--if-unchanged FINGERPRINT]  only if the key still holds what was read",
     Import},
    {"--set", 1, kAny, true, true,
     "--set NAME=VALUE...   check and store single values, e.g. MaxPort=16,\n"
     "                      PortAdd3=12, BaudRate=115200, \"Flow Control=None\"",
     Set},
    {"--help", 0, 0, false, false, "--help | --version", Help},
    {"-h", 0, 0, false, false, nullptr, Help},
#ifdef _WIN32
    {"/?", 0, 0, false, false, nullptr, Help},
#endif
    {"--version", 0, 0, false, false, nullptr, Version},
};

constexpr const char* kHelpText =
    "\n"
    "  --dry-run   with --import or --set: print what would change, store nothing;\n"
    "              needs no administrator rights\n"
    "  --strict    with --check, --import or --set: refuse texts that are none of\n"
    "              the dialog's entries instead of warning about them\n"
    "\n"
    "The settings are the TAVIRPORT driver's service key,\n"
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT. Values that\n"
    "a file or --set leaves out keep what is stored (the defaults in a new key).\n"
    "A file may be a `reg export` of the whole service key: the service's own\n"
    "values (Type, Start, ImagePath, ...) and its subkeys are left alone, with a\n"
    "note each. Names ignore letter case. Each value is checked as the dialog\n"
    "checks it; a file or value with any problem changes nothing:\n";

constexpr const char* kExitText =
    "--import and --set print a line \"NAME: OLD -> NEW\" per value that changes,\n"
    "then \"changed\" or \"unchanged\"; when nothing would change, nothing is written.\n"
    "\n"
    "Exit codes:\n"
    "  0  done\n"
    "  1  the input was refused (a bad file or value)\n"
    "  2  usage: an unknown option or a missing argument\n"
    "  3  access denied: administrator rights are needed\n"
    "  4  the settings could not be read or written (a damaged registry file,\n"
    "     an I/O error, a full disk)\n"
    "  5  --if-unchanged: another program changed the settings first; nothing stored\n";

int Help(const Run& run) {
    std::string& out = run.io.out;
    out += "Usage: tavirap                       open the settings dialog\n";
    for (const Option& option : kOptions) {
        if (option.usage != nullptr) {
            std::string_view usage = option.usage;
            for (std::size_t start = 0; start < usage.size();) {
                const std::size_t end = std::min(usage.find('\n', start), usage.size());
                out += (start == 0 ? "       tavirap " : "               ") +
                       std::string(usage.substr(start, end - start)) + "\n";
                start = end + 1;
            }
        }
    }
    out += std::string(kHelpText) + StoredValuesHelp() + "\n" + kExitText;
    return kExitDone;
}

int RunOptions(const std::vector<std::string>& args, SettingsStore& store, Console& io) {
    Run run{{}, false, false, store, io};
    std::vector<std::string> words;
    for (const std::string& arg : args) {
        bool& flag = arg == "--dry-run" ? run.dryRun : run.strict;
        if (arg == "--dry-run" || arg == "--strict") {
            flag = true;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        return Usage(io.err, "no option given");
    }
    const Option* option =
        std::ranges::find_if(kOptions, [&](const Option& o) { return words[0] == o.name; });
    if (option == std::end(kOptions)) {
        return Usage(io.err, "unknown option '" + words[0] + "'");
    }
    run.operands.assign(words.begin() + 1, words.end());
    if (run.operands.size() < option->least || run.operands.size() > option->most) {
        return Usage(io.err, "wrong number of arguments for " + words[0]);
    }
    if ((run.dryRun && !option->dryRun) || (run.strict && !option->strict)) {
        return Usage(io.err, std::string(run.dryRun && !option->dryRun ? "--dry-run" : "--strict") +
                                 " does not go with " + words[0]);
    }
    return option->run(run);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, SettingsStore& store, Console& io) {
    try {
        return RunOptions(args, store, io);
    } catch (const std::exception& error) {
        // No window to show it in: scripts see a failed run and why.
        io.err += std::string(kProgram) + ": " + error.what() + "\n";
        return kExitStoreFailed;
    }
}

}  // namespace tavirap
