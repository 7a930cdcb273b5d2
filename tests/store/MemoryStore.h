// A store in memory for the logic tests: the registry's rules for names and
// data.
#pragma once

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

    // A key's values by its path as created, compared without regard to case;
    // null when there is no such key.
    Values* FindKey(std::string_view path);

    std::size_t writes = 0;  // values set, in every key

private:
    StoreResult Open(std::string_view path, bool writable, std::unique_ptr<SettingsKey>& key);

    std::vector<std::pair<std::string, Values>> keys_;
};

}  // namespace tavirap
