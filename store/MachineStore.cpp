#include "store/MachineStore.h"

#include <cstdlib>

#ifdef _WIN32
#include "store/RegistryStore.h"
#else
#include "store/RegFileStore.h"
#endif

namespace tavirap {

std::unique_ptr<SettingsStore> MakeMachineStore() {
#ifdef _WIN32
    return std::make_unique<RegistryStore>();
#else
    return std::make_unique<RegFileStore>(DefaultRegistryFile());
#endif
}

std::unique_ptr<SettingsStore> MakeCommandLineStore() {
#ifndef _WIN32
    if (const char* chosen = std::getenv("TAVIRAP_REGISTRY_FILE"); chosen != nullptr && *chosen) {
        return std::make_unique<RegFileStore>(chosen);
    }
#endif
    return MakeMachineStore();
}

}  // namespace tavirap
