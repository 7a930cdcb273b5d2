// The program's command line, for scripts and fleets: exports, checks, imports
// and sets the driver's settings through the same store, load, save and value
// checks as the dialog, without a window.
#pragma once

#include <cstddef>
#include <functional>
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

// Runs the options in args (without the program's name) on the store.
int RunCommandLine(const std::vector<std::string>& args, SettingsStore& store, Console& io);

}  // namespace tavirap
