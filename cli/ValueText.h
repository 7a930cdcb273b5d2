// Stored values as people and scripts read them: --get's NAME=VALUE, the
// change lines of --import and --set, the dialog's list of another program's
// changes and its ready-to-copy command.
#pragma once

#include <string>

#include "store/SettingsIo.h"

namespace tavirap {

// As --set takes it: a dword in decimal, a text up to its first zero byte.
std::string SettableValue(const RegValue& value);

// As a change line shows it: as --set takes it, a text in double quotes.
std::string ShownValue(const RegValue& value);

// What a change had: ShownValue, or "(not stored)" when the key lacked it.
std::string ShownBefore(const ValueChange& change);

}  // namespace tavirap
