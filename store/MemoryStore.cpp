#include "store/MemoryStore.h"

#include <algorithm>
#include <cstring>

namespace tavirap {

namespace {

class MemoryKey : public SettingsKey {
public:
    MemoryKey(MemoryStore& store, MemoryStore::Values& values, bool writable)
        : store_(store), values_(values), writable_(writable) {}

    StoreResult QueryValue(std::string_view name, ValueType* type, std::uint8_t* data,
                           std::uint32_t& size) override {
        store_.log.push_back("query " + std::string(name));
        const StoredValue* value = Find(name);
        if (value == nullptr) {
            return status::kNotFound;
        }
        const auto stored = static_cast<std::uint32_t>(value->data.size());
        if (type != nullptr) {
            *type = value->type;
        }
        const std::uint32_t capacity = size;
        size = stored;
        if (data == nullptr) {
            return status::kSuccess;
        }
        if (stored > capacity) {
            return status::kMoreData;
        }
        std::copy(value->data.begin(), value->data.end(), data);
        return status::kSuccess;
    }

    StoreResult SetValue(std::string_view name, ValueType type, const std::uint8_t* data,
                         std::uint32_t size) override {
        store_.log.push_back("set " + std::string(name));
        if (!writable_) {
            return status::kAccessDenied;
        }
        if (auto failure = store_.setFailures.find(std::string(name));
            failure != store_.setFailures.end()) {
            return failure->second;
        }
        StoredValue* value = Find(name);
        if (value == nullptr) {
            value = &values_.emplace_back(StoredValue{std::string(name), type, {}});
        }
        value->type = type;
        value->data.assign(data, data + size);
        return status::kSuccess;
    }

    StoreResult Close() override {
        if (!closed_) {
            closed_ = true;
            store_.log.push_back("close");
        }
        return status::kSuccess;
    }

    ~MemoryKey() override { Close(); }

private:
    StoredValue* Find(std::string_view name) {
        auto found = std::find_if(values_.begin(), values_.end(),
                                  [&](const StoredValue& v) { return SameName(v.name, name); });
        return found == values_.end() ? nullptr : &*found;
    }

    MemoryStore& store_;
    MemoryStore::Values& values_;
    bool writable_;
    bool closed_ = false;
};

}  // namespace

MemoryStore::Values* MemoryStore::FindKey(std::string_view path) {
    for (auto& [name, values] : keys_) {
        if (SameName(name, path)) {
            return &values;
        }
    }
    return nullptr;
}

MemoryStore::Values& MemoryStore::AddKey(std::string_view path) {
    if (Values* values = FindKey(path)) {
        return *values;
    }
    return keys_.emplace_back(std::string(path), Values{}).second;
}

StoreResult MemoryStore::Open(std::string_view path, bool writable, std::string_view what,
                              Status failure, std::unique_ptr<SettingsKey>& key) {
    log.push_back(std::string(what) + " " + std::string(path));
    if (failure != status::kSuccess) {
        return failure;
    }
    Values* values = FindKey(path);
    if (values == nullptr) {
        return status::kNotFound;
    }
    key = std::make_unique<MemoryKey>(*this, *values, writable);
    return status::kSuccess;
}

StoreResult MemoryStore::OpenKeyAllAccess(std::string_view path,
                                          std::unique_ptr<SettingsKey>& key) {
    return Open(path, true, "open all", openAllAccessFailure, key);
}

StoreResult MemoryStore::OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) {
    return Open(path, false, "open read", openReadOnlyFailure, key);
}

StoreResult MemoryStore::CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) {
    if (createFailure == status::kSuccess) {
        AddKey(path);
    }
    return Open(path, true, "create", createFailure, key);
}

}  // namespace tavirap
