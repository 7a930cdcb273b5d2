// Writing --export's file: the program may run as root, so the name given is
// the file written, never where a link planted there points.
#pragma once

#include <string>
#include <string_view>

namespace tavirap {

// Writes text to the file, created readable by all and writable by its owner
// only, whatever the umask. A link at path is refused, and an existing file
// that anyone may write loses that right. False with the reason on failure.
bool WriteExportFile(const std::string& path, std::string_view text, std::string& why);

}  // namespace tavirap
