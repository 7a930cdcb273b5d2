// What every SettingsStore does as the registry does it. Each store's test
// program instantiates the suite with a maker of fresh, empty stores.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

#include "store/SettingsStore.h"

namespace tavirap {

struct StoreMaker {
    const char* name;
    std::function<std::unique_ptr<SettingsStore>()> make;
};

inline void PrintTo(const StoreMaker& maker, std::ostream* out) {
    *out << maker.name;
}

class StoreContract : public ::testing::TestWithParam<StoreMaker> {
protected:
    void SetUp() override { store = GetParam().make(); }

    std::unique_ptr<SettingsStore> store;
};

#define INSTANTIATE_STORE_CONTRACT(name, maker) \
    INSTANTIATE_TEST_SUITE_P(name, StoreContract, ::testing::Values(StoreMaker{#name, maker}))

}  // namespace tavirap
