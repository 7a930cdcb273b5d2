#include "store/RegistryStore.h"

#include <string>

namespace tavirap {

namespace {

// The status with the system's words for it; the registry's own words
// where the system has none.
StoreResult Explained(LONG code) {
    if (code == ERROR_SUCCESS) {
        return {};
    }
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
        return code;
    }
    std::string words(text, length);
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r')) {
        words.pop_back();
    }
    return {code, words};
}

class RegistryKey : public SettingsKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() override { Close(); }

    // A missing value or a small buffer is routine: the status alone.
    StoreResult QueryValue(std::string_view name, ValueType* type, std::uint8_t* data,
                           std::uint32_t& size) override {
        DWORD found = 0;
        DWORD bytes = size;
        const LONG result = RegQueryValueExA(key_, std::string(name).c_str(), nullptr,
                                             type != nullptr ? &found : nullptr, data, &bytes);
        size = bytes;
        if (type != nullptr) {
            *type = found;
        }
        return result;
    }

    StoreResult SetValue(std::string_view name, ValueType type, const std::uint8_t* data,
                         std::uint32_t size) override {
        return Explained(RegSetValueExA(key_, std::string(name).c_str(), 0, type, data, size));
    }

    // The registry makes each write durable itself; closing only lets go.
    StoreResult Close() override {
        if (key_ == nullptr) {
            return {};
        }
        const LONG result = RegCloseKey(key_);
        key_ = nullptr;
        return Explained(result);
    }

private:
    HKEY key_;
};

// open(&handle) is one of the three registry calls that give a key handle.
template <typename Open>
StoreResult OpenWith(Open open, std::unique_ptr<SettingsKey>& key) {
    HKEY handle = nullptr;
    const LONG result = open(&handle);
    if (result == ERROR_SUCCESS) {
        key = std::make_unique<RegistryKey>(handle);
    }
    return Explained(result);
}

}  // namespace

StoreResult RegistryStore::OpenKeyAllAccess(std::string_view path,
                                            std::unique_ptr<SettingsKey>& key) {
    return OpenWith(
        [&](HKEY* handle) {
            return RegOpenKeyExA(root_, std::string(path).c_str(), 0, KEY_ALL_ACCESS, handle);
        },
        key);
}

StoreResult RegistryStore::OpenKeyReadOnly(std::string_view path,
                                           std::unique_ptr<SettingsKey>& key) {
    return OpenWith(
        [&](HKEY* handle) {
            return RegOpenKeyExA(root_, std::string(path).c_str(), 0, KEY_READ, handle);
        },
        key);
}

StoreResult RegistryStore::CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) {
    return OpenWith(
        [&](HKEY* handle) { return RegCreateKeyA(root_, std::string(path).c_str(), handle); }, key);
}

std::size_t RegistryStore::CharacterLength(std::string_view text, std::size_t pos) const {
    // Texts are in the ANSI code page, which may use two bytes a character.
    const bool lead = IsDBCSLeadByte(static_cast<BYTE>(text[pos])) != 0;
    return lead && pos + 1 < text.size() ? 2 : 1;
}

}  // namespace tavirap
