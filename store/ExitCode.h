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

}  // namespace tavirap
