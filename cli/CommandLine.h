// The program's command line, for scripts and fleets: exports, checks, imports
// and sets the driver's settings through the same store, load, save and value
// checks as the dialog, without a window.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/ExitCode.h"
#include "store/SettingsStore.h"

namespace tavirap {

// What a run reads and says: standard input on demand, standard output and
// the errors collected for the caller to write out.
struct Console {
    // Standard input, up to limit bytes and one more (so that a larger input
    // shows); false when it cannot be read.
    std::function<bool(std::string& text, std::size_t limit)> readInput;
    std::string out;
    std::string err;
};

// The process's standard input, as Console::readInput reads it.
bool ReadStandardInput(std::string& text, std::size_t limit);

// What --import runs, and the one job run with administrator rights: the
// values of a registry file ("-": io.readInput) checked as the dialog checks
// them, then stored over what the key holds; with a fingerprint, only if the
// key still holds what was read (kExitChanged if not).
int ImportValues(const std::string& file, const std::optional<std::string>& ifUnchanged,
                 SettingsStore& store, Console& io);

// Runs the options in args (without the program's name) on the store.
int RunCommandLine(const std::vector<std::string>& args, SettingsStore& store, Console& io);

}  // namespace tavirap
