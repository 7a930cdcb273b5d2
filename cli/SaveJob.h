// The one job that runs with administrator rights: SAVE in the dialog of a
// user who may only read the settings. It takes the dialog's values (a
// REGEDIT4 text), checks them as --import does and stores them only if the
// key still holds what the dialog read. It names no file, takes no other
// option and reads nothing from the environment, so that whoever starts it
// can make it do nothing else.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace tavirap {

// Runs the job. args: the fingerprint of the values the dialog read
// (Fingerprint in store/SettingsIo.h), then, where the program gets no
// standard input (Windows starts one with rights without), the lines of the
// values' text; otherwise the values come from io.readInput. Exit codes as
// the command line's: 2 for any other arguments.
int RunSaveJob(const std::vector<std::string>& args, SettingsStore& store, Console& io);

}  // namespace tavirap
