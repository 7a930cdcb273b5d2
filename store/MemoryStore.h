// A store in memory for the logic tests: the registry's rules for names and
// data, a log of every operation in order, and failures on request.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "store/SettingsStore.h"

namespace tavirap {

struct StoredValue {
    std::string name;  // as created
    ValueType type = kRegNone;
    std::vector<std::uint8_t> data;
};

class MemoryStore : public SettingsStore {
public:
    using Values = std::vector<StoredValue>;

    StoreResult OpenKeyAllAccess(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) override;

    // The keys, by path as created; names compare without regard to case.
    Values* FindKey(std::string_view path);
    Values& AddKey(std::string_view path);

    // Each operation as one line: "open all PATH", "open read PATH",
    // "create PATH", "query NAME", "set NAME", "close".
    std::vector<std::string> log;

    // Failures to report instead of doing the operation.
    Status openAllAccessFailure = status::kSuccess;
    Status openReadOnlyFailure = status::kSuccess;
    Status createFailure = status::kSuccess;
    std::map<std::string, Status> setFailures;  // by value name as written

private:
    StoreResult Open(std::string_view path, bool writable, std::string_view what, Status failure,
                     std::unique_ptr<SettingsKey>& key);

    std::vector<std::pair<std::string, Values>> keys_;
};

}  // namespace tavirap
