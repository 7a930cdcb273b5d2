// What every SettingsStore does as the registry does it. Each store's test
// program instantiates the suite with a maker of fresh, empty stores.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "store/SettingsStore.h"

namespace tavirap {

using StoreMaker = std::function<std::unique_ptr<SettingsStore>()>;

class StoreContract : public ::testing::TestWithParam<StoreMaker> {
protected:
    void SetUp() override { store = GetParam()(); }

    std::unique_ptr<SettingsStore> store;
};

#define INSTANTIATE_STORE_CONTRACT(name, maker) \
    INSTANTIATE_TEST_SUITE_P(name, StoreContract, ::testing::Values(StoreMaker(maker)))

}  // namespace tavirap
