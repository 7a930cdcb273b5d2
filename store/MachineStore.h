// The store that holds this machine's driver settings: the system registry on
// Windows, the machine-wide registry file elsewhere.
#pragma once

#include <memory>

#include "store/SettingsStore.h"

namespace tavirap {

std::unique_ptr<SettingsStore> MakeMachineStore();

// The store a command-line run works on: the machine's, or on Linux the
// registry file that the environment variable TAVIRAP_REGISTRY_FILE names,
// for trials and tests. The dialog keeps to the machine's: the import it runs
// with administrator rights (through pkexec, which clears the environment)
// reaches no other.
std::unique_ptr<SettingsStore> MakeCommandLineStore();

}  // namespace tavirap
