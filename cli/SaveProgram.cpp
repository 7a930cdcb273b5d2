// tavirap-save: the program the polkit action runs as root for the dialog's
// SAVE. The user whose save an administrator authorises started it and chose
// its arguments and input, so it does the save job and nothing else: one
// argument (the fingerprint of what the dialog read), the values on standard
// input up to the registry file's limit, the machine's registry file fixed at
// build time, no environment, and its own umask.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "cli/SaveJob.h"
#include "store/RegFileStore.h"

int main(int argc, char** argv) {
    ::clearenv();
    ::umask(022);
    using namespace tavirap;
    Console io;
    io.readInput = [](std::string& text, std::size_t limit) {
        text.assign(limit + 1, '\0');
        text.resize(std::fread(text.data(), 1, text.size(), stdin));
        return std::ferror(stdin) == 0;
    };
    int exitCode = kExitUsage;
    if (argc == 2) {
        RegFileStore store(DefaultRegistryFile());
        exitCode = RunSaveJob({argv[1]}, store, io);
    } else {
        io.err =
            "tavirap-save: takes only the fingerprint of the settings read, and the values on "
            "standard input; use tavirap for anything else\n";
    }
    std::fputs(io.err.c_str(), stderr);
    std::fputs(io.out.c_str(), stdout);
    return exitCode;
}
