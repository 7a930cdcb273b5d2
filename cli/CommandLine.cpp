#include "cli/CommandLine.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "Version.h"
#include "cli/ExportFile.h"
#include "settings/FieldChecks.h"
#include "store/RegFile.h"
#include "store/SettingsIo.h"

namespace tavirap {

namespace {

constexpr const char* kProgram = "tavirap";

constexpr const char* kHelp =
    "Usage: tavirap                      open the settings dialog\n"
    "       tavirap --export [FILE]      write the driver's settings as a REGEDIT4 file\n"
    "                                    (standard output without FILE or with -)\n"
    "       tavirap --check FILE         check a REGEDIT4 or version 5.00 file, store nothing\n"
    "       tavirap --import FILE|-      check a file (or standard input), then store its values\n"
    "               [--if-unchanged FINGERPRINT]  only if the key still holds what was read\n"
    "       tavirap --set NAME=VALUE...  check and store single values, e.g. MaxPort=16,\n"
    "                                    PortAdd3=12, BaudRate=115200, \"Flow Control=None\"\n"
    "       tavirap --help | --version\n"
    "\n"
    "The settings are the TAVIRPORT driver's service key,\n"
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT. Values that\n"
    "a file or --set leaves out keep what is stored (the defaults in a new key).\n"
    "Each value is checked as the dialog checks it: PortAdd1 to PortAdd64 from 0 to\n"
    "64, MaxPort 2, 4, 8, 16, 24, 32, 40, 48, 56 or 64 (both dwords), and the texts\n"
    "DataBit, StopBit (2 characters), Parity (22), TRxPort (8), BaudRate (12) and\n"
    "Flow Control (16). A file or value with any problem changes nothing.\n"
    "--import and --set print one line, \"changed\" or \"unchanged\"; when nothing\n"
    "would change, nothing is written.\n"
    "\n"
    "Exit codes:\n"
    "  0  done\n"
    "  1  the input was refused (a bad file or value)\n"
    "  2  usage: an unknown option or a missing argument\n"
    "  3  access denied: administrator rights are needed\n"
    "  4  the settings could not be read or written (a damaged registry file,\n"
    "     an I/O error, a full disk)\n"
    "  5  --if-unchanged: another program changed the settings first; nothing stored\n";

// The whole key path as a registry file names it.
std::string DriverKeyPath() {
    return std::string(kLocalMachine) + "\\" + std::string(kServiceKeyPath);
}

// A value of the driver's key, as a file or --set names it.
struct Target {
    enum Kind { kAddress, kMaxPort, kText } kind = kText;
    int port = 0;                     // kAddress: 1 to 64
    const TextField* text = nullptr;  // kText
};

std::optional<Target> FindTarget(std::string_view name) {
    if (SameName(name, kMaxPortName)) {
        return Target{Target::kMaxPort};
    }
    for (const TextField& field : kTextFields) {
        if (SameName(name, field.readName)) {
            return Target{Target::kText, 0, &field};
        }
    }
    for (int port = 1; port <= kPortCount; ++port) {
        if (SameName(name, PortAddressName(port))) {
            return Target{Target::kAddress, port};
        }
    }
    return std::nullopt;
}

// One value to store, checked.
struct Change {
    Target target;
    std::int32_t number = 0;
    std::string text;
};

// Checks the value's number or text as the dialog's field would; empty when
// it is accepted.
std::string CheckChange(const Change& change) {
    switch (change.target.kind) {
        case Target::kAddress:
            return CheckAddress(change.number);
        case Target::kMaxPort:
            return CheckMaxPort(change.number);
        case Target::kText:
            return CheckText(*change.target.text, change.text);
    }
    return {};
}

std::string Quoted(std::string_view name) {
    return name.empty() ? "@" : "\"" + std::string(name) + "\"";
}

// A value as a file holds it: the right type for its name, then its check.
std::string ChangeFromFile(const RegValue& value, RegFormat format, Change& change) {
    const std::optional<Target> target = FindTarget(value.name);
    if (!target) {
        return "no value of the TAVIRPORT driver's key has this name";
    }
    change.target = *target;
    if (target->kind == Target::kText) {
        if (value.type != kRegSz) {
            return "must be a text (REG_SZ)";
        }
        std::string text(value.data.begin(), value.data.end());
        if (format == RegFormat::kVersion5) {
            text = Utf16ToUtf8(text);
        }
        change.text = text.substr(0, text.find('\0'));  // readers stop at the first zero
    } else {
        if (value.type != kRegDword || value.data.size() != 4) {
            return "must be a number (dword, REG_DWORD of 4 bytes)";
        }
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) {
            bits |= std::uint32_t{value.data[i]} << (8 * i);
        }
        change.number = static_cast<std::int32_t>(bits);
    }
    return CheckChange(change);
}

// NAME=VALUE, as --set takes it: numbers in decimal.
std::string ChangeFromArgument(std::string_view argument, Change& change) {
    const auto equals = argument.find('=');
    if (equals == std::string_view::npos) {
        return "expected NAME=VALUE";
    }
    const std::string_view name = argument.substr(0, equals);
    const std::string_view value = argument.substr(equals + 1);
    const std::optional<Target> target = FindTarget(name);
    if (!target) {
        return Quoted(name) + " is no value of the TAVIRPORT driver's key";
    }
    change.target = *target;
    if (target->kind == Target::kText) {
        change.text = value;
    } else {
        std::int64_t number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
            return Quoted(name) + " takes a whole number, not \"" + std::string(value) + "\"";
        }
        // Checked before narrowing, so that a number too large is refused, not wrapped.
        const std::string why =
            target->kind == Target::kAddress ? CheckAddress(number) : CheckMaxPort(number);
        if (!why.empty()) {
            return why;
        }
        change.number = static_cast<std::int32_t>(number);
    }
    return CheckChange(change);
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
        const File in(std::fopen(file.c_str(), "rb"), std::fclose);
        text.assign(kMaxRegFileSize + 1, '\0');
        const std::size_t got = in ? std::fread(text.data(), 1, text.size(), in.get()) : 0;
        if (!in || std::ferror(in.get())) {
            error = file + ": cannot be read";
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

// The changes a registry file asks for, or its problems, each with the file
// and line, on err.
bool ChangesFromFile(const std::string& file, Console& io, std::vector<Change>& changes) {
    std::string& err = io.err;
    std::string text, error;
    if (!ReadInput(file, io, text, error)) {
        err += std::string(kProgram) + ": " + error + "\n";
        return false;
    }
    const std::string shown = file == "-" ? "<stdin>" : file;
    RegDocument document;
    RegParseError parseError;
    if (!ParseRegFile(text, document, parseError)) {
        err += shown + ":" + std::to_string(parseError.line) + ": " + parseError.message + "\n";
        return false;
    }
    const std::string driverKey = DriverKeyPath();
    const RegSection* driver = document.FindSection(driverKey);
    bool ok = true;
    for (const RegSection& section : document.sections) {
        if (&section != driver) {
            err += shown + ":" + std::to_string(section.line) + ": [" + section.path +
                   "] is not the TAVIRPORT driver's key; only [" + driverKey +
                   "] may be imported\n";
            ok = false;
        }
    }
    if (driver == nullptr) {
        err += shown + ": holds no [" + driverKey + "] key\n";
        return false;
    }
    for (const RegEntry& entry : driver->entries) {
        if (!entry.isValue) {
            continue;
        }
        Change change;
        const std::string why = ChangeFromFile(entry.value, document.format, change);
        if (!why.empty()) {
            err += shown + ":" + std::to_string(entry.line) + ": " + Quoted(entry.value.name) +
                   ": " + why + "\n";
            ok = false;
        }
        changes.push_back(std::move(change));
    }
    return ok;
}

int StoreFailure(const StoreResult& failure, std::string& err) {
    if (failure == status::kAccessDenied) {
        err += std::string(kProgram) +
               ": the TAVIRPORT driver's settings may not be changed by this user (" +
               failure.Text() + "): administrator rights are needed\n";
        return kExitAccessDenied;
    }
    err += std::string(kProgram) +
           ": the TAVIRPORT driver's settings could not be read or written: " + failure.Text() +
           "\n";
    return kExitStoreFailed;
}

// Stores the changes over what the key holds, under one open of the key, and
// writes nothing when the key already holds the result.
int StoreChanges(SettingsStore& store, const std::vector<Change>& changes, Console& io,
                 const std::string& ifUnchanged = {}) {
    std::unique_ptr<SettingsKey> key;
    PortSettings settings;
    StoreResult opened = store.OpenKeyAllAccess(kServiceKeyPath, key);
    if (opened.Ok()) {
        ReadSettings(*key, settings);
    } else if (opened == status::kNotFound) {
        ResetDefaults(settings);
        opened = store.CreateKey(kServiceKeyPath, key);
    }
    if (!opened.Ok()) {
        return StoreFailure(opened, io.err);
    }
    // Compared under the same open (one lock on the registry file) as the write.
    if (!ifUnchanged.empty() && Fingerprint(StoredValues(store, settings)) != ifUnchanged) {
        key->Close();
        io.err += std::string(kProgram) +
                  ": the TAVIRPORT driver's settings were changed by another program since they "
                  "were read; nothing was stored\n";
        return kExitChanged;
    }
    for (const Change& change : changes) {
        switch (change.target.kind) {
            case Target::kAddress:
                settings.addresses[change.target.port - 1] = change.number;
                break;
            case Target::kMaxPort:
                settings.totalIndex = IndexFromMaxPort(change.number);
                break;
            case Target::kText:
                settings.*change.target.text->member = change.text;
                break;
        }
    }
    const std::vector<RegValue> values = StoredValues(store, settings);
    if (KeyHolds(*key, values)) {
        key->Close();
        io.out += "unchanged\n";
        return kExitDone;
    }
    const StoreResult written = WriteValues(*key, values);
    const StoreResult closed = key->Close();
    if (!written.Ok() || !closed.Ok()) {
        return StoreFailure(written.Ok() ? closed : written, io.err);
    }
    io.out += "changed\n";
    return kExitDone;
}

// The key as a load would leave it, written as a REGEDIT4 file; nothing is
// written back, so it works for anyone who may read the key.
int Export(SettingsStore& store, const std::string& file, Console& io) {
    PortSettings settings;
    if (const StoreResult read = ReadSettingsOnly(store, settings); !read.Ok()) {
        return StoreFailure(read, io.err);
    }
    const std::string text = ExportSettings(store, settings);
    if (file == "-") {
        io.out += text;
        return kExitDone;
    }
    if (std::string why; !WriteExportFile(file, text, why)) {
        io.err += std::string(kProgram) + ": " + file + ": cannot be written: " + why + "\n";
        return kExitStoreFailed;
    }
    return kExitDone;
}

int Usage(std::string& err, const std::string& problem) {
    err += std::string(kProgram) + ": " + problem + "\nTry '" + kProgram +
           " --help' for more information.\n";
    return kExitUsage;
}

bool IsHelp(const std::string& arg) {
#ifdef _WIN32
    if (arg == "/?") {
        return true;
    }
#endif
    return arg == "--help" || arg == "-h";
}

}  // namespace

namespace {

int Run(const std::vector<std::string>& args, SettingsStore& store, Console& io) {
    if (args.empty()) {
        return Usage(io.err, "no option given");
    }
    const std::string& option = args[0];
    const std::vector<std::string> operands(args.begin() + 1, args.end());
    const auto takes = [&](std::size_t least, std::size_t most) {
        return operands.size() >= least && operands.size() <= most;
    };
    if (IsHelp(option) && takes(0, 0)) {
        io.out += kHelp;
        return kExitDone;
    }
    if (option == "--version" && takes(0, 0)) {
        io.out += std::string(kProgram) + " " + TAVIRAP_VERSION_TEXT + "\n";
        return kExitDone;
    }
    if (option == "--export" && takes(0, 1)) {
        return Export(store, operands.empty() ? "-" : operands[0], io);
    }
    const bool guarded = option == "--import" && operands.size() == 3 &&
                         operands[1] == "--if-unchanged" && !operands[2].empty();
    if ((option == "--check" || option == "--import") && (takes(1, 1) || guarded)) {
        if (option == "--check" && operands[0] == "-") {
            return Usage(io.err, "--check takes a file");
        }
        std::vector<Change> changes;
        if (!ChangesFromFile(operands[0], io, changes)) {
            return kExitRefused;
        }
        return option == "--check" ? kExitDone
                                   : StoreChanges(store, changes, io, guarded ? operands[2] : "");
    }
    if (option == "--set" && takes(1, operands.size())) {
        std::vector<Change> changes;
        bool ok = true;
        for (const std::string& argument : operands) {
            Change change;
            const std::string why = ChangeFromArgument(argument, change);
            if (!why.empty()) {
                io.err += std::string(kProgram) + ": --set " + argument + ": " + why + "\n";
                ok = false;
            }
            changes.push_back(std::move(change));
        }
        return ok ? StoreChanges(store, changes, io) : kExitRefused;
    }
    const bool known = IsHelp(option) || option == "--version" || option == "--export" ||
                       option == "--check" || option == "--import" || option == "--set";
    return Usage(io.err, known ? "wrong number of arguments for " + option
                               : "unknown option '" + option + "'");
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, SettingsStore& store, Console& io) {
    try {
        return Run(args, store, io);
    } catch (const std::exception& error) {
        // No window to show it in: scripts see a failed run and why.
        io.err += std::string(kProgram) + ": " + error.what() + "\n";
        return kExitStoreFailed;
    }
}

}  // namespace tavirap
