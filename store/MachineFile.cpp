#include "store/RegFileStore.h"

namespace tavirap {

std::string DefaultRegistryFile() {
    return TAVIRAP_DEFAULT_REGISTRY_FILE;
}

}  // namespace tavirap
