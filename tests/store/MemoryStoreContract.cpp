#include "tests/store/MemoryStore.h"
#include "tests/store/StoreContract.h"

namespace tavirap {
namespace {

INSTANTIATE_STORE_CONTRACT(Memory, [] { return std::make_unique<MemoryStore>(); });

}  // namespace
}  // namespace tavirap
