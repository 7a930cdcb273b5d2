// The command that stores values from a terminal, for an administrator to
// copy when the dialog cannot ask for rights itself. Its values are quoted so
// that the shell passes each whole and runs nothing else; a value that cannot
// be written so gets no command, and the reason instead.
#pragma once

#include <string>
#include <vector>

#include "store/RegFile.h"

namespace tavirap {

struct ShellCommand {
    std::string command;  // "sudo tavirap --set PortAdd3=12 MaxPort=16"; empty: see why
    std::string why;      // which value cannot be written for the shell, and why
};

// The --set command that stores what differs between `from` and `to` (the
// schema's values, in its order). Linux: for sh and its kin, run with sudo.
// Windows: one text that means the same to cmd.exe and to PowerShell, run as
// administrator.
ShellCommand SetCommand(const std::vector<RegValue>& from, const std::vector<RegValue>& to);

// Where the command is run, as the dialog tells the administrator.
extern const char* const kShellCommandWhere;

}  // namespace tavirap
