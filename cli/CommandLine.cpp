#include "cli/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <tuple>

#include "Version.h"
#include "cli/ExportFile.h"
#include "cli/InputChanges.h"
#include "cli/ValueText.h"
#include "settings/SettingsSchema.h"
#include "store/Machine.h"
#include "store/RegFile.h"
#include "store/SettingsIo.h"

namespace tavirap {

namespace {

// What a run was given beside its option: the option's operands and the
// flags, which may stand before or after it.
struct Run {
    std::vector<std::string> operands;
    bool dryRun = false;
    bool strict = false;
    std::optional<std::string> ifUnchanged;
    SettingsStore& store;
    Console& io;
};

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
int StoreChanges(const Run& run, const Changes& changes) {
    const SaveOutcome saved = SaveChanges(
        run.store, {[&](PortSettings& s) { changes.ApplyTo(s); }, run.ifUnchanged, run.dryRun});
    if (!saved.status.Ok()) {
        return StoreFailure(saved.status, run.io.err);
    }
    if (saved.otherChange) {
        run.io.err += std::string(kProgram) +
                      ": the TAVIRPORT driver's settings were changed by another program since "
                      "they were read; nothing was stored\n";
        return kExitChanged;
    }
    if (saved.created) {
        run.io.err +=
            std::string(kProgram) + ": the TAVIRPORT driver's key " +
            (run.dryRun ? "does not exist; it would be" : "did not exist; it was") +
            " created with the defaults; the values listed are those that differ from them\n";
    }
    for (const ValueChange& change : saved.changes) {
        run.io.out +=
            change.name + ": " + ShownBefore(change) + " -> " + ShownValue(change.after) + "\n";
    }
    const bool changed = saved.created || !saved.changes.empty();
    run.io.out += changed ? "changed\n" : "unchanged\n";
    // Whether the driver has what was stored yet; it is never stopped or started here.
    if (changed && !run.dryRun) {
        if (const std::string driver = DriverSentence(ReadDriverService()); !driver.empty()) {
            run.io.err += driver + "\n";
        }
    }
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
    const std::vector<SchemaValue>& every = EverySchemaValue();
    for (const SchemaValue& value : run.operands.empty() ? every : values) {
        const auto at = std::ranges::find_if(every, [&](const SchemaValue& v) {
            return v.row == value.row && v.index == value.index;
        });
        run.io.out += value.Name() + "=" +
                      SettableValue(stored[static_cast<std::size_t>(at - every.begin())]) + "\n";
    }
    return kExitDone;
}

// What this computer has for the driver, as NAME=VALUE lines, for anyone:
// the driver's service, the COM ports, whether the stored main port is one
// of them, and where the settings are.
int Status(const Run& run) {
    std::string& out = run.io.out;
    int exitCode = kExitDone;
    const auto failed = [&](const StoreResult& why) {
        run.io.err += std::string(kProgram) + ": --status: " + why.Text() + "\n";
        exitCode = kExitStoreFailed;
    };
    const DriverService driver = ReadDriverService();
    if (!driver.known) {
        out += "Driver=not on this system\n";
    } else if (!driver.status.Ok()) {
        failed(driver.status);
    } else {
        out += "Driver=" + (driver.installed ? driver.state : "not installed") + "\n";
        out += driver.installed ? "DriverStart=" + driver.startType + "\n" : "";
    }
    const ComPorts machine = ReadComPorts(true);
    const auto list = [](const auto& items, auto name) {
        std::string text;
        for (const auto& item : items) {
            text += (text.empty() ? "" : ",") + name(item);
        }
        return text;
    };
    if (!machine.status.Ok()) {
        failed(machine.status);
    } else if (machine.known) {
        out += "Ports=" + list(machine.ports, [](const ComPort& p) { return p.name; }) + "\n";
        for (const ComPort& port : machine.ports) {
            out += port.friendlyName.empty() ? ""
                                             : "Port." + port.name + "=" + port.friendlyName + "\n";
        }
        out += "ReservedPorts=" +
               list(machine.reserved, [](int n) { return "COM" + std::to_string(n); }) + "\n";
    }
    PortSettings settings;
    if (const StoreResult read = ReadSettingsOnly(run.store, settings); !read.Ok()) {
        failed(read);
    } else {
        out += "TRxPort=" + settings.mainPort + "\n";
        if (machine.known && machine.status.Ok()) {
            out += std::string("TRxPortOnThisComputer=") +
                   (machine.Has(settings.mainPort) ? "yes" : "no") + "\n";
        }
    }
    out += "Settings=" + run.store.Location() + "\n";
    return exitCode;
}

int CheckFile(const Run& run) {
    Changes changes;
    return ChangesFromFile(run.operands[0], run.strict, run.io, changes) ? kExitDone : kExitRefused;
}

int Import(const Run& run) {
    Changes changes;
    if (!ChangesFromFile(run.operands[0], run.strict, run.io, changes)) {
        return kExitRefused;
    }
    return StoreChanges(run, changes);
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

// Each option: its name, how many operands it takes, whether --dry-run,
// --strict and --if-unchanged go with it, its lines in the usage text and
// what runs it.
struct Option {
    const char* name;
    std::size_t least, most;
    bool dryRun, strict, ifUnchanged;
    const char* usage;
    int (*run)(const Run&);
};

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

constexpr Option kOptions[] = {
    {"--export", 0, 1, false, false, false,
     "--export [FILE]       write the settings as a REGEDIT4 file (standard\n"
     "                      output without FILE or with -)",
     Export},
    {"--get", 0, kAny, false, false, false,
     "--get [NAME...]       print values as NAME=VALUE lines (all without NAME)", Get},
    {"--status", 0, 0, false, false, false,
     "--status             print the driver's state, this computer's COM ports and\n"
     "                      whether the main port is one of them, as NAME=VALUE lines",
     Status},
    {"--check", 1, 1, false, true, false,
     "--check FILE|-        check a REGEDIT4 or version 5.00 file, store nothing", CheckFile},
    {"--import", 1, 1, true, true, true,
     "--import FILE|-       check a file (or standard input), then store its\n"
     "                      values\n"
     "  [--if-unchanged FINGERPRINT]  only if the key still holds what was read",
     Import},
    {"--set", 1, kAny, true, true, false,
     "--set NAME=VALUE...   check and store single values, e.g. MaxPort=16,\n"
     "                      PortAdd3=12, BaudRate=115200, \"Flow Control=None\"",
     Set},
    {"--help", 0, 0, false, false, false, "--help | --version", Help},
    {"-h", 0, 0, false, false, false, nullptr, Help},
#ifdef _WIN32
    {"/?", 0, 0, false, false, false, nullptr, Help},
#endif
    {"--version", 0, 0, false, false, false, nullptr, Version},
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

constexpr const char* kOutputText =
    "--import and --set print a line \"NAME: OLD -> NEW\" per value that changes,\n"
    "then \"changed\" or \"unchanged\"; when nothing would change, nothing is written.\n"
    "\n"
    "Exit codes:\n";

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
    out += std::string(kHelpText) + StoredValuesHelp() + "\n" + kOutputText;
    for (const ExitMeaning& exit : kExitMeanings) {
        out += "  " + std::to_string(exit.code) + "  " + exit.words + "\n";
        out += exit.more != nullptr ? std::string("     ") + exit.more + "\n" : "";
    }
    return kExitDone;
}

int RunOptions(const std::vector<std::string>& args, SettingsStore& store, Console& io) {
    Run run{{}, false, false, std::nullopt, store, io};
    std::vector<std::string> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dry-run" || args[i] == "--strict") {
            (args[i] == "--dry-run" ? run.dryRun : run.strict) = true;
        } else if (args[i] == "--if-unchanged" && i + 1 < args.size() && !args[i + 1].empty()) {
            run.ifUnchanged = args[++i];
        } else {
            words.push_back(args[i]);
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
    for (const auto& [given, allowed, flag] :
         {std::tuple{run.dryRun, option->dryRun, "--dry-run"},
          {run.strict, option->strict, "--strict"},
          {run.ifUnchanged.has_value(), option->ifUnchanged, "--if-unchanged"}}) {
        if (given && !allowed) {
            return Usage(io.err, std::string(flag) + " does not go with " + words[0]);
        }
    }
    return option->run(run);
}

}  // namespace

int ImportValues(const std::string& file, const std::optional<std::string>& ifUnchanged,
                 SettingsStore& store, Console& io) {
    return Import({{file}, false, false, ifUnchanged, store, io});
}

bool ReadStandardInput(std::string& text, std::size_t limit) {
    text.assign(limit + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), stdin));
    return std::ferror(stdin) == 0;
}

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
