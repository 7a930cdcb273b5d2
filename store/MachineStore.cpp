#include "store/MachineStore.h"

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

}  // namespace tavirap
