// Files, folders and child processes for the tests of the registry file on
// real disks.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>

#include "store/RegFileStore.h"

namespace tavirap {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// A folder of its own under the system's temporary folder, open to every
// user so that a child process without root can work in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavirap-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            ::chmod(path_.c_str(), 0755);
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        ::chmod(path_.c_str(), 0755);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Runs body in a child process, where the test's assertions report but do
// not reach the test: returns what body returns ("" when it passed, "SKIP:
// why", or why it failed), and a note when the child did not end well.
inline std::string RunInChild(const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::string failures = body();
        std::fflush(stdout);
        const bool written = ::write(channel[1], failures.data(), failures.size()) ==
                             static_cast<ssize_t>(failures.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    std::string failures;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        failures.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int result = 0;
    if (::waitpid(child, &result, 0) != child || !WIFEXITED(result) || WEXITSTATUS(result) != 0) {
        failures += "the child process failed";
    }
    return failures;
}

// Runs body in a child process as an ordinary user: the user nobody when this
// process is root, else this user.
inline std::string RunAsUser(const std::function<std::string()>& body) {
    return RunInChild([&] {
        const passwd* nobody = ::getuid() == 0 ? ::getpwnam("nobody") : nullptr;
        if (::getuid() == 0 && (nobody == nullptr || ::setgroups(0, nullptr) != 0 ||
                                ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)) {
            return std::string("cannot become nobody");
        }
        return body();
    });
}

// Makes the user RunAsUser runs as the owner of path.
inline bool GiveToUser(const std::string& path) {
    const passwd* nobody = ::getuid() == 0 ? ::getpwnam("nobody") : nullptr;
    return ::getuid() != 0 ||
           (nobody != nullptr && ::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0);
}

// A registry file store on a file of its own in a folder of its own.
class TempRegFileStore : private TempFolder, public RegFileStore {
public:
    TempRegFileStore() : RegFileStore(Path() + "/registry.reg") {}
};

#define EXPECT_IN_CHILD(failures)             \
    do {                                      \
        const std::string found = (failures); \
        if (found.rfind("SKIP: ", 0) == 0) {  \
            GTEST_SKIP() << found.substr(6);  \
        }                                     \
        EXPECT_EQ(found, "");                 \
    } while (false)

}  // namespace tavirap
