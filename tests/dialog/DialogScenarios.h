// The running dialog's scenarios, read from data/scenarios.txt, run on the
// toolkit's real controls through its UiDriver: the Linux and Windows builds
// run one list. Each toolkit's test program says where the key is kept.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Backend.h"
#include "store/SettingsStore.h"

namespace tavirap::test {

// The control a scenario names (SAVE, ROW1 ...), or -1.
int ControlId(const std::string& name);
// A store with an empty registry of its own for the scenario.
std::unique_ptr<SettingsStore> MakeScenarioStore(const std::string& scenario);
// Rights for SAVE as `how` says: the save job run on the store ("run"), a
// job that ends with exit code N ("exit-N"), or pkexec's "dismissed",
// "refused" and "no-agent".
std::unique_ptr<Elevation> MakeFakeElevation(const std::string& how, SettingsStore& store);

// Gives the computer just these COM ports until the result is dropped
// (Win32: in the registry's SERIALCOMM); null where the system lists none.
std::shared_ptr<void> PlantComPorts(const std::vector<std::string>& names);

}  // namespace tavirap::test
