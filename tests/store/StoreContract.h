// What every SettingsStore does as the registry does it. Each store's test
// program instantiates the suite with a maker of fresh, empty stores:
//   INSTANTIATE_TEST_SUITE_P(Memory, StoreContract, ::testing::Values(StoreMaker{...}),
//                            StoreMakerName);
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "store/SettingsStore.h"

namespace tavirap {

struct StoreMaker {
    std::string name;
    std::function<std::unique_ptr<SettingsStore>()> make;
    // The names of the key's values as the store keeps them, which the
    // interface does not show.
    std::function<std::vector<std::string>(SettingsStore&, std::string_view path)> valueNames;
};

inline void PrintTo(const StoreMaker& maker, std::ostream* out) {
    *out << maker.name;
}

inline std::string StoreMakerName(const ::testing::TestParamInfo<StoreMaker>& info) {
    return info.param.name;
}

class StoreContract : public ::testing::TestWithParam<StoreMaker> {
protected:
    void SetUp() override { store = GetParam().make(); }

    std::unique_ptr<SettingsStore> store;
};

}  // namespace tavirap
