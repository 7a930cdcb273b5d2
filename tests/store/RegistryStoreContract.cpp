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

    HKEY Root() const { return root_->Handle(); }

private:
    std::unique_ptr<RegistryTestKey> root_;
};

std::unique_ptr<SettingsStore> MakeStore() {
    static std::atomic<int> count = 0;
    return std::make_unique<TestRegistryStore>(
        std::make_unique<RegistryTestKey>("contract" + std::to_string(++count)));
}

// The names as the registry keeps them, read by enumerating the key.
std::vector<std::string> RegistryValueNames(SettingsStore& store, std::string_view path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(dynamic_cast<TestRegistryStore&>(store).Root(), std::string(path).c_str(), 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Registry, StoreContract,
                         ::testing::Values(StoreMaker{"Registry", MakeStore, RegistryValueNames}),
                         StoreMakerName);

}  // namespace
}  // namespace tavirap
