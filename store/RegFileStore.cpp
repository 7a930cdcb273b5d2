#include "store/RegFileStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "store/RegFile.h"

namespace tavirap {

namespace {

struct ErrnoStatus {
    int error;
    Status status;
};

constexpr std::array<ErrnoStatus, 8> kErrnoStatuses{{
    {EACCES, status::kAccessDenied},
    {EPERM, status::kAccessDenied},
    {EROFS, status::kWriteProtect},
    {ENOSPC, status::kDiskFull},
    {EDQUOT, status::kDiskFull},
    {ENOENT, status::kNotFound},
    {ENOTDIR, status::kNotFound},
    {ENOMEM, status::kOutOfMemory},
}};

Status StatusFromErrno(int error, Status otherwise) {
    const auto found = std::find_if(kErrnoStatuses.begin(), kErrnoStatuses.end(),
                                    [&](const ErrnoStatus& e) { return e.error == error; });
    return found != kErrnoStatuses.end() ? found->status : otherwise;
}

// A failed system call: its status and words, with errno's.
StoreResult FailErrno(Status otherwise, const std::string& what) {
    const int error = errno;
    return {StatusFromErrno(error, otherwise), what + ": " + std::strerror(error)};
}

std::string Folder(const std::string& file) {
    const auto cut = file.rfind('/');
    return cut == std::string::npos ? "." : cut == 0 ? "/" : file.substr(0, cut);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~FileDescriptor() { Close(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Close() { return fd_ < 0 ? 0 : ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno != EINTR) {
            return false;
        }
        text.remove_prefix(written < 0 ? 0 : static_cast<std::size_t>(written));
    }
    return true;
}

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
        const RegValue* value =
            section_ != kNoSection ? document_.sections[section_].Find(name) : nullptr;
        if (value == nullptr) {
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
        if (const RegValue* held = section->Find(name);
            !wide && held != nullptr && held->type == type &&
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
        const std::string temporary = file_ + ".tmp";
        // Under the lock, a temporary file is what a commit cut short left behind.
        ::unlink(temporary.c_str());
        FileDescriptor out(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!out.Valid()) {
            return FailErrno(status::kIoFailed, "cannot create " + temporary);
        }
        // Every user reads the machine's registry, whatever the umask.
        if (::fchmod(out.Get(), 0644) != 0 || !WriteAll(out.Get(), text) ||
            ::fsync(out.Get()) != 0 || out.Close() != 0) {
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

// Whether this process may replace the file: write it (or create it) and
// rename in its folder.
StoreResult CheckWritable(const std::string& file) {
    if (::access(file.c_str(), W_OK) != 0 && errno != ENOENT) {
        return FailErrno(status::kAccessDenied, "cannot write " + file);
    }
    const std::string folder = Folder(file);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return FailErrno(status::kAccessDenied,
                         "cannot write " + file + " in the folder " + folder);
    }
    return status::kSuccess;
}

// The lock lives in a file of its own beside the registry file, as the
// registry file is replaced by every commit. Only writers take it, and only
// the file's owner may open it: readers need no lock, as the file is only
// ever replaced whole, and no other user can hold it to stop a save. A
// writer waits for another for a few seconds at most.
StoreResult Lock(const std::string& file, FileDescriptor& lock) {
    const std::string path = file + ".lock";
    for (int attempt = 0;; ++attempt) {
        lock = FileDescriptor(
            ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (lock.Valid()) {
            if (::fchmod(lock.Get(), 0600) != 0) {  // whatever the umask
                return FailErrno(status::kIoFailed, "cannot restrict the lock file " + path);
            }
            break;
        }
        lock = FileDescriptor(
            errno == EEXIST ? ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC) : -1);
        struct stat info {};
        if (!lock.Valid() || ::fstat(lock.Get(), &info) != 0) {
            return FailErrno(status::kIoFailed, "cannot open the lock file " + path);
        }
        if (((info.st_mode & 07777) == 0600 && info.st_uid == ::geteuid()) || attempt > 0) {
            break;
        }
        // One that an older release left open to every user, who could hold
        // it: it goes, and one of this user's own takes its place.
        if (::unlink(path.c_str()) != 0) {
            return FailErrno(status::kIoFailed, "cannot replace the lock file " + path);
        }
    }
    constexpr int kTries = 100;  // 50 ms apart: five seconds
    for (int tries = 1; ::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0; ++tries) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return FailErrno(status::kIoFailed, "cannot lock " + path);
        }
        if (tries == kTries) {
            return {status::kBusy, "the settings in " + file +
                                       " are busy: another program has held the lock " + path +
                                       " for five seconds"};
        }
        const timespec pause{0, 50'000'000};
        ::nanosleep(&pause, nullptr);
    }
    return status::kSuccess;
}

// A missing file is an empty registry.
StoreResult Load(const std::string& file, RegDocument& document) {
    document = RegDocument{};
    // Neither a link (a save would replace it, not its target) nor anything
    // that could hold the open up (a FIFO): only the file itself is read.
    FileDescriptor in(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!in.Valid() && errno == ELOOP) {
        return {status::kBadDatabase,
                file +
                    " is a symbolic link; it must be the registry file itself, which each "
                    "save replaces whole"};
    }
    if (!in.Valid()) {
        return errno == ENOENT ? StoreResult()
                               : FailErrno(status::kIoFailed, "cannot read " + file);
    }
    struct stat info {};
    if (::fstat(in.Get(), &info) != 0) {
        return FailErrno(status::kIoFailed, "cannot read " + file);
    }
    if (!S_ISREG(info.st_mode)) {
        return {status::kBadDatabase, file + " is not a regular file"};
    }
    const std::string tooLarge = file + " is larger than 1 MiB and was not read";
    if (static_cast<std::uintmax_t>(info.st_size) > RegFileStore::kMaxFileSize) {
        return {status::kBadDatabase, tooLarge};
    }
    // Room for the file and a byte more, so that one that has grown since
    // shows at once; it grows no further than the limit and a byte.
    std::string text(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t length = 0;
    for (;;) {
        if (length == text.size()) {
            text.resize(std::min(2 * text.size(), RegFileStore::kMaxFileSize + 1));
        }
        const ssize_t got = ::read(in.Get(), text.data() + length, text.size() - length);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return FailErrno(status::kIoFailed, "cannot read " + file);
        }
        if (got == 0) {
            break;
        }
        length += static_cast<std::size_t>(got);
        if (length > RegFileStore::kMaxFileSize) {
            return {status::kBadDatabase, tooLarge};
        }
    }
    text.resize(length);
    RegParseError error;
    if (!ParseRegFile(text, document, error)) {
        return {status::kBadDatabase,
                file + ":" + std::to_string(error.line) + ": " + error.message};
    }
    return status::kSuccess;
}

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
        result = Lock(file_, lock);
    }
    if (result.Ok() && writable) {
        // Temporary files are only made under this lock: one seen now was
        // left by a commit cut short, and goes at once rather than waiting
        // for the next commit.
        ::unlink((file_ + ".tmp").c_str());
    }
    RegDocument document;
    if (result.Ok()) {
        result = Load(file_, document);
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
