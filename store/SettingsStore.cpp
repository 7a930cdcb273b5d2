#include "store/SettingsStore.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "settings/Text.h"

namespace tavirap {

bool SameName(std::string_view a, std::string_view b) {
    return SameText(a, b);
}

std::string StatusText(Status failure) {
    static constexpr std::pair<Status, const char*> kTexts[] = {
        {status::kSuccess, "The operation completed successfully."},
        {status::kNotFound, "The settings do not exist."},
        {status::kAccessDenied,
         "Access is denied: you have no permission to change the driver's settings."},
        {status::kInvalidHandle, "The settings key is not open."},
        {status::kOutOfMemory, "There is not enough memory."},
        {status::kWriteProtect, "The disk is write-protected."},
        {status::kWriteFault, "The settings could not be written."},
        {status::kInvalidParameter, "A value is not valid."},
        {status::kDiskFull, "There is not enough space on the disk."},
        {status::kBusy, "The settings are busy: another program is changing them."},
        {status::kMoreData, "A stored value is larger than expected."},
        {status::kBadDatabase, "The registry is damaged."},
        {status::kIoFailed, "The registry could not be read or written."},
    };
    const auto* found = std::find_if(std::begin(kTexts), std::end(kTexts),
                                     [&](const auto& entry) { return entry.first == failure; });
    if (found != std::end(kTexts)) {
        return found->second;
    }
    return "Error " + std::to_string(failure) + ".";
}

std::string StoreResult::Text() const {
    return text_.empty() ? StatusText(code_) : text_;
}

StoreResult SettingsStore::CheckWriteAccess(std::string_view path) {
    std::unique_ptr<SettingsKey> key;
    const StoreResult opened = OpenKeyAllAccess(path, key);
    return opened.Ok() ? key->Close() : opened;
}

std::string SettingsStore::Location() const {
    return "HKEY_LOCAL_MACHINE\\" + std::string(kServiceKeyPath);
}

std::size_t SettingsStore::CharacterLength(std::string_view text, std::size_t pos) const {
    // UTF-8: the lead byte tells the length; a stray continuation byte or a
    // sequence cut short counts as one byte so that the walk always moves on.
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    for (std::size_t i = 1; i < length; ++i) {
        if (pos + i >= text.size() || (static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

}  // namespace tavirap
