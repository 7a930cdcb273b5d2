// The keys under HKEY_LOCAL_MACHINE kept in one machine-wide registry file in
// REGEDIT4 form, for systems without a registry. Each open key is a
// transaction under a lock on the file: writes collect in memory and closing
// the key replaces the file at once.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "store/RegFile.h"
#include "store/SettingsStore.h"

namespace tavirap {

// The registry file of this machine, chosen when the program is built.
std::string DefaultRegistryFile();

class RegFileStore : public SettingsStore {
public:
    // Larger files are refused without being read.
    static constexpr std::size_t kMaxFileSize = kMaxRegFileSize;

    // file: the registry file; its folder must exist for the file to be created.
    explicit RegFileStore(std::string file);

    const std::string& File() const { return file_; }

    // path is relative to HKEY_LOCAL_MACHINE, e.g. kServiceKeyPath. Each waits
    // until no other open key of the file is writing; the read-only open
    // shares the file with other readers.
    // A failure's words name the file, and the line of a damaged one.
    StoreResult OpenKeyAllAccess(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult OpenKeyReadOnly(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) override;
    StoreResult CheckWriteAccess(std::string_view path) override;
    std::string Location() const override { return file_; }

private:
    enum class Mode { kReadOnly, kAllAccess, kCreate };
    StoreResult Open(std::string_view path, Mode mode, std::unique_ptr<SettingsKey>& key);

    std::string file_;
};

}  // namespace tavirap
