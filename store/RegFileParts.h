// What the registry file's codec, parser, document and writer share; nothing else includes it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Text.h"
#include "store/RegFile.h"

namespace tavirap::regfile {

inline constexpr std::string_view kRegedit4Header = "REGEDIT4";
inline constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";

// A carriage return counts as a blank: in a file of LF line ends one before
// the LF is part of the line, and is kept with it.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// A line, or an entry's lines: nothing but blanks and at most one "\n".
bool IsBlankLine(std::string_view line);

// The escapes of a quoted text, as written and as meant.
struct Escape {
    char written;
    char meant;
};
inline constexpr std::array<Escape, 3> kEscapes{{{'\\', '\\'}, {'"', '"'}, {'n', '\n'}}};

// The text in quotes, with its escapes.
void AppendQuoted(std::string& out, std::string_view text);
std::string Quoted(std::string_view text);

// A version 5.00 file's text after its byte order mark, as UTF-8. Anything
// that is no UTF-16 is damage: the text must come back byte for byte.
bool DecodeUtf16File(std::string_view bytes, std::string& text, RegParseError& error);

// The parts of a key path between its backslashes.
std::vector<std::string_view> SplitPath(std::string_view path);
// Whether the paths name one key, whatever their case and the root's name.
bool SamePath(std::string_view a, std::string_view b);
// A hash of a name that ignores the case of ASCII letters, as SameName does.
std::uint64_t NameHash(std::string_view name);
// The hash of a name whose earlier part gave `hash`, with `part` after it.
std::uint64_t HashMore(std::uint64_t hash, std::string_view part);
// A hash that is the same where SamePath holds; false when the path's first
// part is no root key's name, long ("HKEY_LOCAL_MACHINE") or short ("HKLM").
bool PathHash(std::string_view path, std::uint64_t& hash);

}  // namespace tavirap::regfile
