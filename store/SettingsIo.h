// Loading the driver's service key into the record and the address table, and
// writing them back.
#pragma once

#include <functional>
#include <optional>
#include <string>
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

// One value whose stored bytes differ: its name, what is stored (none: the
// key lacks it) and what is to be.
struct ValueChange {
    std::string name;
    std::optional<RegValue> before;
    RegValue after;
};

// The values (of StoredValues' order) whose bytes differ, in that order.
std::vector<ValueChange> DifferentValues(const std::vector<std::optional<RegValue>>& before,
                                         const std::vector<RegValue>& after);
std::vector<ValueChange> DifferentValues(const std::vector<RegValue>& before,
                                         const std::vector<RegValue>& after);

struct SaveRequest {
    // Makes what is to be stored from the settings the key holds: the
    // command line sets single values, the dialog puts in its own.
    std::function<void(PortSettings&)> edit;
    // Stores only if the key's settings still have this fingerprint (see
    // Fingerprint): those the caller read last.
    std::optional<std::string> expected;
    // Compares only: opens the key for reading and writes nothing.
    bool dryRun = false;
};

struct SaveOutcome {
    StoreResult status;
    // The key held other settings than expected: nothing was stored.
    bool otherChange = false;
    // What the key holds now, as read (after a save: what was saved).
    PortSettings stored;
    // The key was missing, and is created with the defaults (by a dry run: would be).
    bool created = false;
    // The values whose bytes differ, in the order they are written (in a new
    // key: those that differ from the defaults, which are `before`); none, in
    // a key that was there, means "unchanged": it holds them already and
    // nothing was written.
    std::vector<ValueChange> changes;
};

// The one save of the command line and the dialog: reads the key, compares,
// edits and writes under one open of the key (one lock on the registry
// file). A missing key is created, unless this is a dry run.
SaveOutcome SaveChanges(SettingsStore& store, const SaveRequest& request);

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
// A short text that tells these values apart from any others (a 64-bit
// FNV-1a hash of their names, types and bytes, in hex): what a guarded
// import compares, under its lock, with what the key holds.
std::string Fingerprint(const std::vector<RegValue>& values);
// Writes each value, even after a failure; the first failure.
StoreResult WriteValues(SettingsKey& key, const std::vector<RegValue>& values);

}  // namespace tavirap
