// The driver's service key, reached through the few registry operations the
// program needs, so that the same load and save logic runs on the Windows
// registry, on the registry file of other systems and in memory for tests.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace tavirap {

// Statuses are the registry's own numbers on every store.
using Status = std::int32_t;
namespace status {
inline constexpr Status kSuccess = 0;            // ERROR_SUCCESS
inline constexpr Status kNotFound = 2;           // ERROR_FILE_NOT_FOUND: no such key or value
inline constexpr Status kAccessDenied = 5;       // ERROR_ACCESS_DENIED
inline constexpr Status kInvalidHandle = 6;      // ERROR_INVALID_HANDLE
inline constexpr Status kOutOfMemory = 14;       // ERROR_OUTOFMEMORY
inline constexpr Status kWriteProtect = 19;      // ERROR_WRITE_PROTECT: a read-only file system
inline constexpr Status kWriteFault = 29;        // ERROR_WRITE_FAULT
inline constexpr Status kInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr Status kDiskFull = 112;         // ERROR_DISK_FULL
inline constexpr Status kBusy = 170;             // ERROR_BUSY: another writer holds the key
inline constexpr Status kMoreData = 234;      // ERROR_MORE_DATA: the data is larger than the buffer
inline constexpr Status kBadDatabase = 1009;  // ERROR_BADDB: the registry (file) is damaged
inline constexpr Status kIoFailed = 1016;     // ERROR_REGISTRY_IO_FAILED
}  // namespace status

// What a store operation did: the registry's status and, for a failure, the
// words that explain it, travelling together so that the words always belong
// to the failure they explain.
class StoreResult {
public:
    // A status alone is explained in the registry's words (StatusText).
    StoreResult(Status code = status::kSuccess) : code_(code) {}
    StoreResult(Status code, std::string text) : code_(code), text_(std::move(text)) {}

    Status Code() const { return code_; }
    bool Ok() const { return code_ == status::kSuccess; }
    // Words for the user, such as the file and line of a damaged registry file.
    std::string Text() const;

    friend bool operator==(const StoreResult& result, Status code) { return result.code_ == code; }

private:
    Status code_;
    std::string text_;
};

// The status and its words, for test failures and logs.
// Inline, so that only what prints one (the tests) links the streams: a
// program that never does stays free of them.
inline std::ostream& operator<<(std::ostream& out, const StoreResult& result) {
    return out << result.Code() << " (" << result.Text() << ")";
}

// Value types, as the registry numbers them.
using ValueType = std::uint32_t;
inline constexpr ValueType kRegNone = 0;
inline constexpr ValueType kRegSz = 1;
inline constexpr ValueType kRegBinary = 3;
inline constexpr ValueType kRegDword = 4;

// A REG_DWORD's number: its bytes, 32-bit little-endian; shorter data
// counts from its low bytes up.
template <typename Bytes>
std::uint32_t DwordBits(const Bytes& data) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < data.size() && i < 4; ++i) {
        bits |= std::uint32_t{data[i]} << (8 * i);
    }
    return bits;
}

// The driver's service key under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kServiceKeyPath =
    "SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT";

// An open key. Stores that collect writes commit them when the key is closed;
// a key destroyed without Close() is closed then.
class SettingsKey {
public:
    virtual ~SettingsKey() = default;

    // As RegQueryValueExA: on entry size is the buffer's capacity, on return
    // the data's size. Fails with kNotFound for a missing value and with
    // kMoreData when the data is larger than the capacity. type may be null.
    virtual StoreResult QueryValue(std::string_view name, ValueType* type, std::uint8_t* data,
                                   std::uint32_t& size) = 0;
    // As RegSetValueExA: creates the value, or overwrites it keeping its name's case.
    virtual StoreResult SetValue(std::string_view name, ValueType type, const std::uint8_t* data,
                                 std::uint32_t size) = 0;
    // Ends the use of the key and reports whether its writes were committed.
    virtual StoreResult Close() = 0;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // As RegOpenKeyExA with KEY_ALL_ACCESS: fails for a missing key (kNotFound)
    // and for a user who may not write the key (kAccessDenied).
    virtual StoreResult OpenKeyAllAccess(std::string_view path,
                                         std::unique_ptr<SettingsKey>& key) = 0;
    // As RegOpenKeyExA with KEY_READ: an existing key, for reading only.
    virtual StoreResult OpenKeyReadOnly(std::string_view path,
                                        std::unique_ptr<SettingsKey>& key) = 0;
    // As RegCreateKeyA: opens the key, creating it if it is missing.
    virtual StoreResult CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) = 0;
    // Whether OpenKeyAllAccess would be allowed, as it would fail if not, but
    // without the writers' lock: for a start that finds nothing to write.
    virtual StoreResult CheckWriteAccess(std::string_view path);

    // Bytes of the character that starts at text[pos] in the texts this store
    // holds, so that a text cut to its fixed size never splits a character.
    // UTF-8 here; the Windows registry uses the ANSI code page.
    virtual std::size_t CharacterLength(std::string_view text, std::size_t pos) const;

    // Where the driver's key is, for people: the registry's key name, or the
    // file that holds it.
    virtual std::string Location() const;
};

// Registry names compare without regard to case (ASCII letters).
bool SameName(std::string_view a, std::string_view b);

// The registry's words for a status, for any store.
std::string StatusText(Status failure);

}  // namespace tavirap
