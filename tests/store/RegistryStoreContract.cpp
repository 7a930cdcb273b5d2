#include <atomic>

#include "tests/store/RegistryTestKey.h"
#include "tests/store/StoreContract.h"

namespace tavirap {
namespace {

INSTANTIATE_STORE_CONTRACT(Registry, [] {
    static std::atomic<int> count = 0;
    return std::make_unique<TestKeyStore>("contract" + std::to_string(++count));
});

}  // namespace
}  // namespace tavirap
