// The store on the Windows registry, where the driver reads its key. A key
// opened for writing holds the machine's writers' lock until it is closed,
// and its writes go into one registry transaction, committed by the close.
#pragma once

#include <string>

#include "platform/win32/Win32Api.h"

#include "store/SettingsStore.h"

namespace tavirap {

class RegistryStore : public SettingsStore {
public:
    // Paths are below root: HKEY_LOCAL_MACHINE for the driver; tests give a
    // key of their own.
    explicit RegistryStore(HKEY root = HKEY_LOCAL_MACHINE) : root_(root) {}

    // A failure's words are the system's own for its status. The two opens
    // for writing wait five seconds at most for another writer (kBusy).
    StoreResult OpenKeyAllAccess(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult CheckWriteAccess(std::string_view path) override;
    std::size_t CharacterLength(std::string_view text, std::size_t pos) const override;

private:
    StoreResult OpenForWriting(std::string_view path, bool create,
                               std::unique_ptr<SettingsKey>& key);

    HKEY root_;
};

// The writers' lock, one for the whole machine whatever the store's root: a
// mutex that only administrators (and the system) may open, in a private
// namespace whose boundary names the Administrators group, so that no other
// user can create it first either. Where the system has no private
// namespaces (Wine), the mutex is in the global namespace.
std::string WritersLockName();

}  // namespace tavirap
