// The store that holds this machine's driver settings: the system registry on
// Windows, the machine-wide registry file elsewhere.
#pragma once

#include <memory>

#include "store/SettingsStore.h"

namespace tavirap {

std::unique_ptr<SettingsStore> MakeMachineStore();

}  // namespace tavirap
