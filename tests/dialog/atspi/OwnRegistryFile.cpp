// The program under the accessibility test keeps its settings in a registry
// file of the test's own, which TAVIRAP_TEST_MACHINE_FILE names; it replaces
// the machine's file at link time and nothing else.
#include <cstdlib>
#include <stdexcept>

#include "store/RegFileStore.h"

namespace tavirap {

std::string DefaultRegistryFile() {
    const char* file = std::getenv("TAVIRAP_TEST_MACHINE_FILE");
    if (file == nullptr || *file == '\0') {
        throw std::runtime_error("TAVIRAP_TEST_MACHINE_FILE names no registry file");
    }
    return file;
}

}  // namespace tavirap
