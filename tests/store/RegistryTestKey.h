// A key of the test's own under HKEY_CURRENT_USER, removed with everything in
// it when the test ends, so that tests never touch the driver's real key.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "store/RegistryStore.h"

namespace tavirap {

class RegistryTestKey {
public:
    explicit RegistryTestKey(const std::string& name)
        : path_("Software\\TavirapTests\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegCreateKeyA(HKEY_CURRENT_USER, path_.c_str(), &key_);
    }
    ~RegistryTestKey() {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    RegistryTestKey(const RegistryTestKey&) = delete;
    RegistryTestKey& operator=(const RegistryTestKey&) = delete;

    HKEY Handle() const { return key_; }
    const std::string& Path() const { return path_; }  // below HKEY_CURRENT_USER
    // The key's full name as regedit writes it.
    std::string FullName() const { return "HKEY_CURRENT_USER\\" + path_; }

private:
    std::string path_;
    HKEY key_ = nullptr;
};

// A registry store rooted at a test key of its own.
class TestKeyStore : private RegistryTestKey, public RegistryStore {
public:
    explicit TestKeyStore(const std::string& name)
        : RegistryTestKey(name), RegistryStore(RegistryTestKey::Handle()) {}
    using RegistryTestKey::Path;
};

}  // namespace tavirap
