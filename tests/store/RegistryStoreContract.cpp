#include <atomic>

#include "store/RegistryStore.h"
#include "tests/store/RegistryTestKey.h"
#include "tests/store/StoreContract.h"

namespace tavirap {
namespace {

// A registry store rooted at a fresh key of its own.
class TestRegistryStore : public RegistryStore {
public:
    explicit TestRegistryStore(std::unique_ptr<RegistryTestKey> root)
        : RegistryStore(root->Handle()), root_(std::move(root)) {}

private:
    std::unique_ptr<RegistryTestKey> root_;
};

INSTANTIATE_STORE_CONTRACT(Registry, [] {
    static std::atomic<int> count = 0;
    return std::make_unique<TestRegistryStore>(
        std::make_unique<RegistryTestKey>("contract" + std::to_string(++count)));
});

}  // namespace
}  // namespace tavirap
