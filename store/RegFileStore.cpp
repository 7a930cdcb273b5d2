#include "store/RegFileStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "store/RegFile.h"
#include "store/RegFileAccess.h"

namespace tavirap {

namespace {

// Path parts must be names regedit can write between [ and ].
bool IsValidKeyPath(std::string_view path) {
    if (path.empty()) {
        return true;
    }
    if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != path.npos) {
        return false;
    }
    return std::none_of(path.begin(), path.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

class RegFileKey : public SettingsKey {
public:
    RegFileKey(std::string file, FileDescriptor lock, RegDocument document, std::string path,
               bool writable, bool dirty)
        : file_(std::move(file)),
          lock_(std::move(lock)),
          document_(std::move(document)),
          path_(std::move(path)),
          writable_(writable),
          dirty_(dirty) {
        // Sections are only ever added: the key's stays where it is found.
        const RegSection* section = document_.FindSection(path_);
        section_ = section != nullptr ? static_cast<std::size_t>(section - &document_.sections[0])
                                      : kNoSection;
    }

    ~RegFileKey() override {
        if (open_) {
            Close();
        }
    }

    StoreResult QueryValue(std::string_view name, ValueType* type, std::uint8_t* data,
                           std::uint32_t& size) override {
        if (!open_) {
            return status::kInvalidHandle;
        }
        const std::optional<RegValue> value =
            section_ != kNoSection ? document_.sections[section_].Find(name) : std::nullopt;
        if (!value) {
            return status::kNotFound;
        }
        if (type != nullptr) {
            *type = value->type;
        }
        std::vector<std::uint8_t> narrow;
        const std::vector<std::uint8_t>& stored = Narrow(*value, narrow);
        const auto needed = static_cast<std::uint32_t>(stored.size());
        const std::uint32_t capacity = std::exchange(size, needed);
        if (data == nullptr) {
            return status::kSuccess;
        }
        if (capacity < needed) {
            return status::kMoreData;
        }
        std::copy(stored.begin(), stored.end(), data);
        return status::kSuccess;
    }

    StoreResult SetValue(std::string_view name, ValueType type, const std::uint8_t* data,
                         std::uint32_t size) override {
        if (!open_) {
            return status::kInvalidHandle;
        }
        if (!writable_) {
            return {status::kAccessDenied,
                    "the key " + path_ + " in " + file_ + " was opened for reading only"};
        }
        const bool badName = std::any_of(
            name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
        if ((data == nullptr && size > 0) || badName) {
            return status::kInvalidParameter;
        }
        if (section_ == kNoSection) {
            document_.AddSection(path_);
            section_ = document_.sections.size() - 1;
        }
        RegSection* section = &document_.sections[section_];
        // A key written with what it holds commits nothing: the file keeps
        // its bytes, its inode and its time. Most writes of a start are such,
        // so they are found before any copy is made.
        const bool wide = document_.format == RegFormat::kVersion5 && IsStringType(type);
        if (const std::optional<RegValue> held = section->Find(name);
            !wide && held && held->type == type &&
            std::equal(held->data.begin(), held->data.end(), data, data + size)) {
            return status::kSuccess;
        }
        std::vector<std::uint8_t> bytes(data, data + size);
        if (wide) {
            const std::string utf16 = Utf8ToUtf16(std::string(bytes.begin(), bytes.end()));
            bytes.assign(utf16.begin(), utf16.end());
        }
        dirty_ = section->Set(name, type, std::move(bytes)) || dirty_;
        return status::kSuccess;
    }

    StoreResult Close() override {
        if (!open_) {
            return status::kInvalidHandle;
        }
        open_ = false;
        StoreResult result = dirty_ ? Commit() : StoreResult();
        lock_.Close();
        return result;
    }

private:
    // A version 5.00 file holds strings in UTF-16; this key's callers, like the
    // registry's narrow calls, see them in the 8-bit encoding (UTF-8 here).
    const std::vector<std::uint8_t>& Narrow(const RegValue& value,
                                            std::vector<std::uint8_t>& narrow) const {
        if (document_.format != RegFormat::kVersion5 || !IsStringType(value.type)) {
            return value.data;
        }
        const std::string text = Utf16ToUtf8(
            std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size()));
        narrow.assign(text.begin(), text.end());
        return narrow;
    }

    // Replaces the file by a complete new one: a crash at any instant leaves
    // either the old file or the new one. The file keeps the format it was
    // read in (a version 5.00 file stays UTF-16), so that the tools that wrote
    // it, and anyone diffing it, still see their own format; only a new file
    // is REGEDIT4.
    StoreResult Commit() {
        const std::string text = WriteRegFile(document_);
        if (text.size() > RegFileStore::kMaxFileSize) {
            return {status::kWriteFault,
                    "cannot write " + file_ + ": it would be larger than 1 MiB"};
        }
        // The open, under this same lock, removed any that a commit cut short left.
        const std::string temporary = file_ + ".tmp";
        FileDescriptor out(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!out.Valid()) {
            return FailErrno(status::kIoFailed, "cannot create " + temporary);
        }
        // The file keeps the mode, owner and group it had (an administrator's
        // 0640 stays 0640); a new one is read by every user, whatever the umask.
        // The owner goes first, as changing it clears set-id bits.
        struct stat old {};
        const bool replacing = ::lstat(file_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
        const bool ownerKept = !replacing || ::fchown(out.Get(), old.st_uid, old.st_gid) == 0 ||
                               errno == EPERM;  // not root: the writer's own, as any file it makes
        if (!ownerKept || ::fchmod(out.Get(), replacing ? old.st_mode & 07777 : 0644) != 0 ||
            !WriteAll(out.Get(), text) || ::fsync(out.Get()) != 0 || out.Close() != 0) {
            StoreResult result = FailErrno(status::kWriteFault, "cannot write " + temporary);
            ::unlink(temporary.c_str());
            return result;
        }
        if (::rename(temporary.c_str(), file_.c_str()) != 0) {
            StoreResult result = FailErrno(status::kIoFailed, "cannot replace " + file_);
            ::unlink(temporary.c_str());
            return result;
        }
        const std::string folder = Folder(file_);
        FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!directory.Valid() || ::fsync(directory.Get()) != 0) {
            return FailErrno(status::kIoFailed, "cannot flush the folder " + folder);
        }
        return status::kSuccess;
    }

    std::string file_;
    FileDescriptor lock_;
    RegDocument document_;
    static constexpr std::size_t kNoSection = static_cast<std::size_t>(-1);

    std::string path_;     // with HKEY_LOCAL_MACHINE
    std::size_t section_;  // the key's section in document_, or kNoSection
    bool writable_;
    bool dirty_;
    bool open_ = true;
};

}  // namespace

RegFileStore::RegFileStore(std::string file) : file_(std::move(file)) {}

StoreResult RegFileStore::OpenKeyAllAccess(std::string_view path,
                                           std::unique_ptr<SettingsKey>& key) {
    return Open(path, Mode::kAllAccess, key);
}

StoreResult RegFileStore::OpenKeyReadOnly(std::string_view path,
                                          std::unique_ptr<SettingsKey>& key) {
    return Open(path, Mode::kReadOnly, key);
}

StoreResult RegFileStore::CreateKey(std::string_view path, std::unique_ptr<SettingsKey>& key) {
    return Open(path, Mode::kCreate, key);
}

StoreResult RegFileStore::CheckWriteAccess(std::string_view path) {
    return IsValidKeyPath(path) ? CheckWritable(file_) : StoreResult(status::kInvalidParameter);
}

StoreResult RegFileStore::Open(std::string_view path, Mode mode,
                               std::unique_ptr<SettingsKey>& key) {
    key.reset();
    if (!IsValidKeyPath(path)) {
        return status::kInvalidParameter;
    }
    const bool writable = mode != Mode::kReadOnly;
    StoreResult result = writable ? CheckWritable(file_) : StoreResult();
    FileDescriptor lock;
    if (result.Ok() && writable) {
        result = LockRegFile(file_, lock);
    }
    if (result.Ok() && writable) {
        // Temporary files are only made under this lock: one seen now was
        // left by a commit cut short, and goes at once rather than waiting
        // for the next commit.
        ::unlink((file_ + ".tmp").c_str());
    }
    RegDocument document;
    if (result.Ok()) {
        result = LoadRegFile(file_, document);
    }
    if (!result.Ok()) {
        return result;
    }
    std::string fullPath(kLocalMachine);
    if (!path.empty()) {
        fullPath += '\\';
        fullPath += path;
    }
    const bool exists = path.empty() || document.KeyExists(fullPath);
    if (!exists && mode != Mode::kCreate) {
        return {status::kNotFound, file_ + " holds no key " + fullPath};
    }
    if (!exists) {
        document.AddSection(fullPath);
    }
    key = std::make_unique<RegFileKey>(file_, std::move(lock), std::move(document),
                                       std::move(fullPath), writable, !exists);
    return status::kSuccess;
}

}  // namespace tavirap
