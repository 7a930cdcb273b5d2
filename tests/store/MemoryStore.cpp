#include "tests/store/MemoryStore.h"

#include <algorithm>

namespace tavirap {

namespace {

class MemoryKey : public SettingsKey {
public:
    MemoryKey(MemoryStore::Values& values, bool writable, std::size_t& writes)
        : values_(values), writable_(writable), writes_(writes) {}

    StoreResult QueryValue(std::string_view name, ValueType* type, std::uint8_t* data,
                           std::uint32_t& size) override {
        const StoredValue* value = Find(name);
        if (value == nullptr) {
            return status::kNotFound;
        }
        if (type != nullptr) {
            *type = value->type;
        }
        const std::uint32_t capacity = size;
        size = static_cast<std::uint32_t>(value->data.size());
        if (data == nullptr) {
            return status::kSuccess;
        }
        if (size > capacity) {
            return status::kMoreData;
        }
        std::copy(value->data.begin(), value->data.end(), data);
        return status::kSuccess;
    }

    StoreResult SetValue(std::string_view name, ValueType type, const std::uint8_t* data,
                         std::uint32_t size) override {
        if (!writable_) {
            return status::kAccessDenied;
        }
        StoredValue* value = Find(name);
        if (value == nullptr) {
            value = &values_.emplace_back(StoredValue{std::string(name), type, {}});
        }
        value->type = type;
        value->data.assign(data, data + size);
        ++writes_;
        return status::kSuccess;
    }

    StoreResult Close() override { return status::kSuccess; }

private:
    StoredValue* Find(std::string_view name) {
        auto found = std::ranges::find_if(
            values_, [&](const StoredValue& value) { return SameName(value.name, name); });
        return found == values_.end() ? nullptr : &*found;
    }

    MemoryStore::Values& values_;
    bool writable_;
    std::size_t& writes_;
};

}  // namespace

MemoryStore::Values* MemoryStore::FindKey(std::string_view path) {
    auto found =
        std::ranges::find_if(keys_, [&](const auto& key) { return SameName(key.first, path); });
    return found == keys_.end() ? nullptr : &found->second;
}

StoreResult MemoryStore::Open(std::string_view path, bool writable,
                              std::unique_ptr<SettingsKey>& key) {
    Values* values = FindKey(path);
    if (values == nullptr) {
        return status::kNotFound;
    }
    key = std::make_unique<MemoryKey>(*values, writable, writes);
    return status::kSuccess;
}

StoreResult MemoryStore::OpenKeyAllAccess(std::string_view path,
                                          std::unique_ptr<SettingsKey>& key) {
    return Open(path, true, key);
}

StoreResult MemoryStore::OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) {
    return Open(path, false, key);
}

StoreResult MemoryStore::CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) {
    if (FindKey(path) == nullptr) {
        keys_.emplace_back(std::string(path), Values{});
    }
    return Open(path, true, key);
}

}  // namespace tavirap
