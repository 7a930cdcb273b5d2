// The registry file as the POSIX store reaches it: file descriptors and
// errno, the writers' lock beside the file, and the file opened and read as
// meant (never through a link, never more than the size limit).
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "store/RegFile.h"
#include "store/SettingsStore.h"

namespace tavirap {

// A failed system call: its status and words, with errno's.
StoreResult FailErrno(Status otherwise, const std::string& what);

// The folder a file path names the file in.
std::string Folder(const std::string& file);

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
    int Close();

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view text);

// Whether this process may replace the file: write it (or create it) and
// rename in its folder.
StoreResult CheckWritable(const std::string& file);

// The lock lives in a file of its own beside the registry file, as the
// registry file is replaced by every commit. Only writers take it, and only
// the file's owner may open it: readers need no lock, as the file is only
// ever replaced whole, and no other user can hold it to stop a save. A
// writer waits for another for a few seconds at most.
StoreResult LockRegFile(const std::string& file, FileDescriptor& lock);

// For tests: run when a writer has found a lock file an older release left
// and is about to replace it, so that another writer can come in just then.
inline void (*gBeforeReplacingOldLock)() = nullptr;

// Reads and parses the file; a missing file is an empty registry.
StoreResult LoadRegFile(const std::string& file, RegDocument& document);

}  // namespace tavirap
