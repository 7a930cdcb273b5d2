// The running dialog's scenarios, read from data/scenarios.txt, run on the
// toolkit's real controls through its UiDriver: the Linux and Windows builds
// run one list. Each toolkit's test program says where the key is kept.
#pragma once

#include <memory>
#include <string>

#include "store/SettingsStore.h"

namespace tavirap::test {

// A store with an empty registry of its own for the scenario.
std::unique_ptr<SettingsStore> MakeScenarioStore(const std::string& scenario);
// Where that store keeps the key, and the store opened there again by
// another process: the one SAVE runs with administrator rights.
std::string StoreAddress(SettingsStore& store);
std::unique_ptr<SettingsStore> OpenStoreAt(const std::string& address);

// The test program standing in for the program that SAVE runs with
// administrator rights: --import into the scenario's store.
int ImportAsElevated(int argc, char** argv);

}  // namespace tavirap::test
