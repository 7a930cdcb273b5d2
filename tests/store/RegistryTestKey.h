// A key of the test's own under HKEY_CURRENT_USER, removed with everything in
// it when the test ends, so that tests never touch the driver's real key.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

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

// The computer's COM ports for a test: the registry's SERIALCOMM holds just
// `names` (Wine maps this machine's serial devices there too) until the
// object goes, when what it held comes back.
class TestComPorts {
public:
    explicit TestComPorts(const std::vector<std::string>& names) {
        RegCreateKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", &key_);
        for (;;) {
            char name[256];
            DWORD nameSize = sizeof name;
            char data[256];
            DWORD dataSize = sizeof data;
            if (RegEnumValueA(key_, 0, name, &nameSize, nullptr, nullptr,
                              reinterpret_cast<BYTE*>(data), &dataSize) != ERROR_SUCCESS) {
                break;
            }
            held_.push_back({name, std::string(data, dataSize)});
            RegDeleteValueA(key_, name);
        }
        for (const std::string& port : names) {
            planted_.push_back("\\Device\\TavirapTest" + port);
            RegSetValueExA(key_, planted_.back().c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(port.c_str()),
                           static_cast<DWORD>(port.size() + 1));
        }
    }
    ~TestComPorts() {
        for (const std::string& name : planted_) {
            RegDeleteValueA(key_, name.c_str());
        }
        for (const auto& [name, data] : held_) {
            RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size()));
        }
        RegCloseKey(key_);
    }
    TestComPorts(const TestComPorts&) = delete;
    TestComPorts& operator=(const TestComPorts&) = delete;

private:
    HKEY key_ = nullptr;
    std::vector<std::pair<std::string, std::string>> held_;
    std::vector<std::string> planted_;
};

}  // namespace tavirap
