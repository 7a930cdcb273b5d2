// Loading the driver's service key into the record and the address table, and
// writing them back.
#pragma once

#include <vector>

#include "settings/PortSettings.h"
#include "store/RegFile.h"
#include "store/SettingsStore.h"

namespace tavirap {

struct LoadResult {
    // The key could not be opened for writing: the stored values (or, where
    // they cannot be read at all, the defaults) are shown and nothing was
    // written back.
    bool readOnly = false;
    StoreResult readOnlyReason;  // why
    // The defaults were put in: the key was missing, or could not be read.
    bool defaultsShown = false;
    // The key could not be read at all (a damaged file, an I/O error): the
    // defaults stand in and must never be saved over the driver's settings.
    bool unreadable = false;
    // The write-back's result when the load was not read-only.
    StoreResult saveStatus;
};

// Reads the key into the record, the table and the page state. A missing key
// is created with the defaults; missing values take their fallbacks; the
// result is written back at once unless the key could only be read.
LoadResult LoadSettings(SettingsStore& store, PortSettings& settings);

// Writes the table, the total and the texts into the key, every value in order
// even after a failure, and returns the first failing status.
StoreResult SaveSettings(SettingsStore& store, const PortSettings& settings);

// Reads the key as any user may, without writing anything back; a missing
// key gives the defaults. Fails only when the key cannot be read.
StoreResult ReadSettingsOnly(SettingsStore& store, PortSettings& settings);

// Saves unless the key holds other settings than `expected` (those the
// caller loaded or saved last), comparing and writing under one open of the
// key (one lock on the registry file). On such a change nothing is written,
// `changed` is set and `expected` becomes what the key holds now; after a
// save it becomes what was saved.
StoreResult SaveUnlessChanged(SettingsStore& store, const PortSettings& settings,
                              std::vector<RegValue>& expected, bool& changed);

// The key as a REGEDIT4 file that `reg import` and this program's --import
// read: every value as SaveSettings writes it.
std::string ExportSettings(const SettingsStore& store, const PortSettings& settings);

// The steps of a load and a save on a key the caller holds open, so that a
// comparison and a write can happen under one open (one lock on the file).
// Reads the key into the record and its table, with the fallbacks for missing
// values; the page shown becomes page 0.
void ReadSettings(SettingsKey& key, PortSettings& settings);
// What the key holds for these settings, in the order it is written: the 64
// addresses, "MaxPort" (a total held to the list) and the texts at their
// fixed sizes.
std::vector<RegValue> StoredValues(const SettingsStore& store, const PortSettings& settings);
// Whether the key already holds each of these values, type and bytes.
bool KeyHolds(SettingsKey& key, const std::vector<RegValue>& values);
// A short text that tells these values apart from any others (a 64-bit
// FNV-1a hash of their names, types and bytes, in hex): what a guarded
// import compares, under its lock, with what the key holds.
std::string Fingerprint(const std::vector<RegValue>& values);
// Writes each value, even after a failure; the first failure.
StoreResult WriteValues(SettingsKey& key, const std::vector<RegValue>& values);

}  // namespace tavirap
