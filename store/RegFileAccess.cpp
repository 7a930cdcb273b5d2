#include "store/RegFileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>

#include "store/RegFileStore.h"

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

}  // namespace

// A failed system call: its status and words, with errno's.
StoreResult FailErrno(Status otherwise, const std::string& what) {
    const int error = errno;
    return {StatusFromErrno(error, otherwise), what + ": " + std::strerror(error)};
}

std::string Folder(const std::string& file) {
    const auto cut = file.rfind('/');
    return cut == std::string::npos ? "." : cut == 0 ? "/" : file.substr(0, cut);
}

int FileDescriptor::Close() {
    return fd_ < 0 ? 0 : ::close(std::exchange(fd_, -1));
}

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

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the file at path (creating it, this user's alone, when there is none)
// and takes its lock, waiting 50 ms at a time while `tries` last. A lock
// taken on a file that the path no longer names guards nothing: the path's
// file is taken up again. A file that is not this user's alone is not
// locked, as any user could hold it: `old` is then how it stands.
StoreResult TakeLock(const std::string& path, const std::string& file, int& tries,
                     FileDescriptor& fd, std::optional<struct stat>& old) {
    constexpr int kTries = 100;  // five seconds
    for (;;) {
        // Most often it is there: opened first, created only when missing.
        fd = FileDescriptor(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.Valid() && errno == ENOENT) {
            fd = FileDescriptor(
                ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (fd.Valid() && ::fchmod(fd.Get(), 0600) != 0) {  // whatever the umask
                return FailErrno(status::kIoFailed, "cannot restrict the lock file " + path);
            }
            if (!fd.Valid() && errno == EEXIST) {  // another writer made it just now
                continue;
            }
        }
        struct stat held {};
        if (!fd.Valid() || ::fstat(fd.Get(), &held) != 0) {
            return FailErrno(status::kIoFailed, "cannot open the lock file " + path);
        }
        if ((held.st_mode & 07777) != 0600 || held.st_uid != ::geteuid()) {
            old = held;
            return status::kSuccess;
        }
        while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return FailErrno(status::kIoFailed, "cannot lock " + path);
            }
            if (++tries >= kTries) {
                return {status::kBusy, "the settings in " + file +
                                           " are busy: another program has held the lock " + path +
                                           " for five seconds"};
            }
            const timespec pause{0, 50'000'000};
            ::nanosleep(&pause, nullptr);
        }
        struct stat named {};
        if (::lstat(path.c_str(), &named) == 0 && SameFile(named, held)) {
            return status::kSuccess;
        }
    }
}

}  // namespace

StoreResult LockRegFile(const std::string& file, FileDescriptor& lock) {
    const std::string path = file + ".lock";
    int tries = 0;
    for (;;) {
        std::optional<struct stat> old;
        StoreResult result = TakeLock(path, file, tries, lock, old);
        if (!result.Ok() || !old) {
            return result;
        }
        if (gBeforeReplacingOldLock != nullptr) {
            gBeforeReplacingOldLock();
        }
        // One that an older release left open to every user, who could hold
        // it: it goes, without waiting for its lock, and one of this user's
        // own takes its place. Writers replace it one at a time, under a lock
        // only they can open, so that none removes the fresh lock another has
        // just put in its place.
        const std::string guardPath = path + ".new";
        FileDescriptor guard;
        std::optional<struct stat> notOwn;
        result = TakeLock(guardPath, file, tries, guard, notOwn);
        if (!result.Ok()) {
            return result;
        }
        if (notOwn) {
            return {status::kIoFailed, "cannot replace the lock file " + path + ": " + guardPath +
                                           " is not this user's alone"};
        }
        struct stat named {};
        if (::lstat(path.c_str(), &named) == 0 && SameFile(named, *old) &&
            ::unlink(path.c_str()) != 0) {
            result = FailErrno(status::kIoFailed, "cannot replace the lock file " + path);
        }
        ::unlink(guardPath.c_str());  // while held: a writer waiting for it takes up the next
        if (!result.Ok()) {
            return result;
        }
    }
}

StoreResult LoadRegFile(const std::string& file, RegDocument& document) {
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

}  // namespace tavirap
