// The machine's PATH as the installer edits it: a list of folders split at
// ';', whose entries other than the program's own are kept as they stand.
#pragma once

#include <string>
#include <string_view>

namespace tavirap {

// Whether the folder can stand in PATH as an entry of its own: a ';' would
// split it, and a '"' is taken for quoting.
bool FitsInPath(std::wstring_view folder);

// Whether a PATH entry names the folder: alike but for the case of ASCII
// letters, surrounding double quotes and trailing backslashes.
bool SameFolder(std::wstring_view entry, std::wstring_view folder);

// The list with the folder as its last entry, unless an entry names it
// already; then the list as it is.
std::wstring PathWith(std::wstring_view path, std::wstring_view folder);

// The list without the entries that name the folder, each with one of its
// separators; every other entry and separator as it is.
std::wstring PathWithout(std::wstring_view path, std::wstring_view folder);

}  // namespace tavirap
