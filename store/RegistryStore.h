// The store on the Windows registry, where the driver reads its key.
#pragma once

#include "platform/win32/Win32Api.h"

#include "store/SettingsStore.h"

namespace tavirap {

class RegistryStore : public SettingsStore {
public:
    // Paths are below root: HKEY_LOCAL_MACHINE for the driver; tests give a
    // key of their own.
    explicit RegistryStore(HKEY root = HKEY_LOCAL_MACHINE) : root_(root) {}

    // A failure's words are the system's own for its status.
    StoreResult OpenKeyAllAccess(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    std::size_t CharacterLength(std::string_view text, std::size_t pos) const override;

private:
    HKEY root_;
};

}  // namespace tavirap
