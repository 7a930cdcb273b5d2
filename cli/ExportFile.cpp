#include "cli/ExportFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tavirap {

#ifdef _WIN32
bool WriteExportFile(const std::string& path, std::string_view text, std::string& why) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const bool written =
        out != nullptr && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        why = std::strerror(errno);
        return false;
    }
    return true;
}
#else
bool WriteExportFile(const std::string& path, std::string_view text, std::string& why) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        why = errno == ELOOP ? "is a symbolic link; name the file itself" : std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && (!S_ISREG(info.st_mode) || (info.st_mode & S_IWOTH) == 0 ||
                                          ::fchmod(fd, info.st_mode & 07755) == 0);
    for (std::string_view rest = text; ok && !rest.empty();) {
        const ssize_t written = ::write(fd, rest.data(), rest.size());
        ok = written >= 0 || errno == EINTR;
        rest.remove_prefix(written > 0 ? static_cast<std::size_t>(written) : 0);
    }
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        why = std::strerror(error);
    }
    return ok;
}
#endif

}  // namespace tavirap
