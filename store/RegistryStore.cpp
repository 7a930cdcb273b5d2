#include "store/RegistryStore.h"

#include <string>
#include <utility>

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

constexpr wchar_t kNamespace[] = L"TAVIRAP";
constexpr char kPrivateName[] = "TAVIRAP\\SettingsWriters";
constexpr char kGlobalName[] = "Global\\TAVIRAP-SettingsWriters";
// The namespace and the mutex: administrators and the system only, not even
// to wait on it, so that no other user can hold a save up.
constexpr char kAdministratorsOnly[] = "D:P(A;;GA;;;BA)(A;;GA;;;SY)";
constexpr DWORD kWait = 5000;  // milliseconds, as the registry file's writers wait

StoreResult LockFailure(DWORD error, const char* lock) {
    if (error == ERROR_ACCESS_DENIED) {
        return {status::kAccessDenied, std::string("only administrators may take the lock ") +
                                           lock + " to change the settings"};
    }
    return {static_cast<Status>(error), std::string("cannot take the lock ") + lock + ": " +
                                            Explained(static_cast<LONG>(error)).Text()};
}

// The lock a writer's key holds from its open to its close.
class WritersLock {
public:
    WritersLock() = default;
    WritersLock(const WritersLock&) = delete;
    WritersLock& operator=(const WritersLock&) = delete;
    ~WritersLock() { Release(); }

    bool Held() const { return held_; }

    // what: the settings' name, for the words of a lock that stays busy.
    StoreResult Take(const std::string& what) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
                kAdministratorsOnly, SDDL_REVISION_1, &descriptor, nullptr)) {
            return Failure(GetLastError());
        }
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
        StoreResult result = OpenNamespace(attributes);
        if (result.Ok()) {
            mutex_ = CreateMutexA(&attributes, FALSE, Name());
            result = mutex_ != nullptr ? StoreResult() : Failure(GetLastError());
        }
        LocalFree(descriptor);
        if (!result.Ok()) {
            return result;
        }
        switch (WaitForSingleObject(mutex_, kWait)) {
            case WAIT_OBJECT_0:
            case WAIT_ABANDONED:  // its holder ended without letting go
                held_ = true;
                return {};
            case WAIT_TIMEOUT:
                return {status::kBusy, "the settings in " + what +
                                           " are busy: another program has held the lock " +
                                           Name() + " for five seconds"};
            default:
                return Failure(GetLastError());
        }
    }

    void Release() {
        if (held_) {
            ReleaseMutex(mutex_);
            held_ = false;
        }
        if (mutex_ != nullptr) {
            CloseHandle(std::exchange(mutex_, nullptr));
        }
        if (namespace_ != nullptr) {
            ClosePrivateNamespace(std::exchange(namespace_, nullptr), 0);
        }
    }

private:
    const char* Name() const { return namespace_ != nullptr ? kPrivateName : kGlobalName; }

    StoreResult Failure(DWORD error) const { return LockFailure(error, Name()); }

    // The administrators' private namespace: the first writer creates it,
    // the others open it while it lasts. None where the system has none:
    // Wine 8 makes no boundary descriptor.
    StoreResult OpenNamespace(SECURITY_ATTRIBUTES& attributes) {
        HANDLE boundary = CreateBoundaryDescriptorW(kNamespace, 0);
        if (boundary == nullptr) {
            return {};
        }
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof sid;
        DWORD error = ERROR_SUCCESS;
        if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size) ||
            !AddSIDToBoundaryDescriptor(&boundary, sid)) {
            error = GetLastError();
        }
        // The namespace goes with its last handle: it may vanish between a
        // create that finds it and the open.
        for (int attempt = 0; error != ERROR_ACCESS_DENIED && !namespace_ && attempt < 3;
             ++attempt) {
            error = ERROR_SUCCESS;
            namespace_ = CreatePrivateNamespaceW(&attributes, boundary, kNamespace);
            if (namespace_ == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
                namespace_ = OpenPrivateNamespaceW(boundary, kNamespace);
            }
            error = namespace_ != nullptr ? ERROR_SUCCESS : GetLastError();
        }
        DeleteBoundaryDescriptor(boundary);
        return namespace_ != nullptr ? StoreResult() : LockFailure(error, kPrivateName);
    }

    HANDLE namespace_ = nullptr;
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

// Registry transactions come from ktmw32, loaded by the first save that
// writes: most runs write nothing.
struct Transactions {
    HANDLE(WINAPI* create)(LPSECURITY_ATTRIBUTES, LPGUID, DWORD, DWORD, DWORD, DWORD, LPWSTR);
    BOOL(WINAPI* commit)(HANDLE);
};

const Transactions& LoadTransactions() {
    static const Transactions transactions = [] {
        HMODULE ktm = LoadLibraryExA("ktmw32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return Transactions{
            Proc<decltype(Transactions::create)>(ktm, "CreateTransaction"),
            Proc<decltype(Transactions::commit)>(ktm, "CommitTransaction"),
        };
    }();
    return transactions;
}

class RegistryKey : public SettingsKey {
public:
    RegistryKey(HKEY key, HKEY root, std::string path)
        : key_(key), root_(root), path_(std::move(path)) {}
    ~RegistryKey() override { Close(); }

    // Makes this a writer's key.
    StoreResult Lock(const std::string& what) { return lock_.Take(what); }

    // Reads what is stored, never what this key's writes hold until they
    // are committed. A missing value or a small buffer is routine: the
    // status alone.
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

    // After a failure a writer's key writes nothing more: its transaction
    // will not be committed, and without one the key stays as near as it
    // can to what it held.
    StoreResult SetValue(std::string_view name, ValueType type, const std::uint8_t* data,
                         std::uint32_t size) override {
        const std::string value(name);
        if (!lock_.Held()) {  // read only: the registry refuses
            return Explained(RegSetValueExA(key_, value.c_str(), 0, type, data, size));
        }
        if (!failed_.Ok()) {
            return failed_;
        }
        if (!begun_) {
            Begin();
        }
        const LONG result = RegSetValueExA(transacted_ != nullptr ? transacted_ : key_,
                                           value.c_str(), 0, type, data, size);
        if (result != ERROR_SUCCESS) {
            failed_ = Failed(result, "\"" + value + "\" was not written");
        } else if (transacted_ == nullptr) {
            written_ += (written_.empty() ? "" : ", ") + value;
        }
        return failed_;
    }

    // Commits a writer's writes, all of them or, after a failure, none.
    StoreResult Close() override {
        if (key_ == nullptr) {
            return {};
        }
        StoreResult result = failed_;
        if (transacted_ != nullptr) {
            if (result.Ok() && !LoadTransactions().commit(transaction_)) {
                result = Failed(static_cast<LONG>(GetLastError()), "the settings were not stored");
            }
            RegCloseKey(transacted_);
            CloseHandle(transaction_);  // one not committed is rolled back
        }
        const LONG closed = RegCloseKey(std::exchange(key_, nullptr));
        lock_.Release();
        return result.Ok() ? Explained(closed) : result;
    }

private:
    // One transaction for all of a save's writes where the system has them;
    // without one (Wine answers ERROR_CALL_NOT_IMPLEMENTED) they go one by
    // one, under the lock all the same. RegOpenKeyTransactedA is not called:
    // Wine 8 ends a process that calls it.
    void Begin() {
        begun_ = true;
        const Transactions& transactions = LoadTransactions();
        if (transactions.create == nullptr || transactions.commit == nullptr) {
            return;
        }
        HANDLE transaction = transactions.create(nullptr, nullptr, 0, 0, 0, 0, nullptr);
        if (transaction == INVALID_HANDLE_VALUE) {
            return;
        }
        if (RegCreateKeyTransactedA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &transacted_, nullptr, transaction, nullptr) != ERROR_SUCCESS) {
            transacted_ = nullptr;
            CloseHandle(transaction);
            return;
        }
        transaction_ = transaction;
    }

    // The system's words, and what the key holds after the failure.
    StoreResult Failed(LONG code, const std::string& what) const {
        const std::string held = transacted_ != nullptr ? "Nothing was stored."
                                 : written_.empty()
                                     ? "Nothing was written."
                                     : "Written already, one by one (this system has no registry "
                                       "transactions): " +
                                           written_ + ".";
        return {code, what + ": " + Explained(code).Text() + " " + held};
    }

    HKEY key_;
    HKEY root_;
    std::string path_;
    WritersLock lock_;
    bool begun_ = false;
    HANDLE transaction_ = nullptr;
    HKEY transacted_ = nullptr;
    StoreResult failed_;
    std::string written_;  // without a transaction: the values written, in order
};

}  // namespace

StoreResult RegistryStore::OpenKeyAllAccess(std::string_view path,
                                            std::unique_ptr<SettingsKey>& key) {
    return OpenForWriting(path, false, key);
}

StoreResult RegistryStore::OpenKeyReadOnly(std::string_view path,
                                           std::unique_ptr<SettingsKey>& key) {
    HKEY handle = nullptr;
    const std::string name(path);
    const LONG result = RegOpenKeyExA(root_, name.c_str(), 0, KEY_READ, &handle);
    if (result == ERROR_SUCCESS) {
        key = std::make_unique<RegistryKey>(handle, root_, name);
    }
    return Explained(result);
}

StoreResult RegistryStore::CheckWriteAccess(std::string_view path) {
    HKEY handle = nullptr;
    const LONG result = RegOpenKeyExA(root_, std::string(path).c_str(), 0, KEY_ALL_ACCESS, &handle);
    if (result == ERROR_SUCCESS) {
        RegCloseKey(handle);
    }
    return Explained(result);
}

StoreResult RegistryStore::CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) {
    return OpenForWriting(path, true, key);
}

// The key is opened before the lock is taken: whoever may not write it is
// refused by the registry, in its words, and takes no lock.
StoreResult RegistryStore::OpenForWriting(std::string_view path, bool create,
                                          std::unique_ptr<SettingsKey>& key) {
    HKEY handle = nullptr;
    const std::string name(path);
    const LONG opened = create ? RegCreateKeyA(root_, name.c_str(), &handle)
                               : RegOpenKeyExA(root_, name.c_str(), 0, KEY_ALL_ACCESS, &handle);
    if (opened != ERROR_SUCCESS) {
        return Explained(opened);
    }
    auto writer = std::make_unique<RegistryKey>(handle, root_, name);
    const StoreResult locked =
        writer->Lock(root_ == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" + name : name);
    if (locked.Ok()) {
        key = std::move(writer);
    }
    return locked;
}

std::size_t RegistryStore::CharacterLength(std::string_view text, std::size_t pos) const {
    // Texts are in the ANSI code page, which may use two bytes a character.
    const bool lead = IsDBCSLeadByte(static_cast<BYTE>(text[pos])) != 0;
    return lead && pos + 1 < text.size() ? 2 : 1;
}

std::string WritersLockName() {
    HANDLE boundary = CreateBoundaryDescriptorW(kNamespace, 0);
    if (boundary == nullptr) {
        return kGlobalName;
    }
    DeleteBoundaryDescriptor(boundary);
    return kPrivateName;
}

}  // namespace tavirap
