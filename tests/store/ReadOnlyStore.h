// A store seen through the rights of a user who may read the key, not write it.
#pragma once

#include "store/SettingsStore.h"

namespace tavirap {

// The store as a user sees it who may read the key but not write it.
class ReadOnlyStore : public SettingsStore {
public:
    explicit ReadOnlyStore(SettingsStore& store) : store_(store) {}
    StoreResult OpenKeyAllAccess(std::string_view, std::unique_ptr<SettingsKey>&) override {
        return status::kAccessDenied;
    }
    StoreResult OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) override {
        return store_.OpenKeyReadOnly(path, key);
    }
    StoreResult CreateKey(std::string_view, std::unique_ptr<SettingsKey>&) override {
        return status::kAccessDenied;
    }

private:
    SettingsStore& store_;
};

}  // namespace tavirap
