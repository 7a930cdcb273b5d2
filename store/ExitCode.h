// How a run of the program's command line ends, for scripts to test; the
// dialog reads the same numbers from the import it runs with administrator
// rights.
#pragma once

namespace tavirap {

enum ExitCode : int {
    kExitDone = 0,
    kExitRefused = 1,       // the input was refused: a bad file or value
    kExitUsage = 2,         // the command line itself was wrong
    kExitAccessDenied = 3,  // administrator rights are needed
    kExitStoreFailed = 4,   // the store could not be read or written
    kExitChanged = 5,       // --if-unchanged: another program changed the key first
};

// Each code in the words that --help, the README, the manual page and the
// Windows texts give it (tests/packaging holds them to these), and what more
// --help says on the line below.
struct ExitMeaning {
    ExitCode code;
    const char* words;
    const char* more;
};

inline constexpr ExitMeaning kExitMeanings[] = {
    {kExitDone, "done", nullptr},
    {kExitRefused, "the input was refused (a bad file or value)", nullptr},
    {kExitUsage, "usage: an unknown option or a missing argument", nullptr},
    {kExitAccessDenied, "access denied: administrator rights are needed", nullptr},
    {kExitStoreFailed, "the settings could not be read or written",
     "(a damaged registry file, an I/O error, a full disk, settings kept busy)"},
    {kExitChanged, "--if-unchanged: another program changed the settings first; nothing stored",
     nullptr},
};

}  // namespace tavirap
