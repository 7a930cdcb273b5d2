// tavirap-save: the one program the dialog's SAVE runs with administrator
// rights (Linux: the polkit action runs it as root; Windows: the UAC prompt
// names it). The user whose save an administrator authorises started it and
// chose its arguments and input, so it does the save job and nothing else: the
// fingerprint of what the dialog read, then the values (Linux: on standard
// input, up to the registry file's limit; Windows, where a program started
// with rights gets no input: a REGEDIT4 text's lines, one argument each); the
// machine's settings, no other option or file, and nothing from the
// environment.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/SaveJob.h"
#include "store/MachineStore.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

int main(int argc, char** argv) {
    using namespace tavirap;
    Console io;
    const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
    // The values' text starts with its header line: no file name, option or
    // other word can take its place.
    const bool usage = args.size() < 2 || args[1] != "REGEDIT4";
#else
    ::clearenv();
    ::umask(022);
    io.readInput = ReadStandardInput;
    const bool usage = args.size() != 1;
#endif
    int exitCode = kExitUsage;
    if (!usage) {
        exitCode = RunSaveJob(args, *MakeMachineStore(), io);
    } else {
        io.err =
            "tavirap-save: takes only the fingerprint of the settings read and the values read "
            "(the dialog's save); use tavirap for anything else\n";
    }
    std::fputs(io.err.c_str(), stderr);
    std::fputs(io.out.c_str(), stdout);
    return exitCode;
}
