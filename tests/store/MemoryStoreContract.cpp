#include "store/MemoryStore.h"
#include "tests/store/StoreContract.h"

namespace tavirap {
namespace {

std::vector<std::string> MemoryValueNames(SettingsStore& store, std::string_view path) {
    std::vector<std::string> names;
    if (const auto* values = dynamic_cast<MemoryStore&>(store).FindKey(path)) {
        for (const auto& value : *values) {
            names.push_back(value.name);
        }
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(Memory, StoreContract,
                         ::testing::Values(StoreMaker{
                             "Memory", [] { return std::make_unique<MemoryStore>(); },
                             MemoryValueNames}),
                         StoreMakerName);

}  // namespace
}  // namespace tavirap
