#include "cli/ShellCommand.h"

#include <algorithm>
#include <string_view>

#include "cli/ValueText.h"

namespace tavirap {

namespace {

bool IsPlain(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("=_-.,:+/").find(c) != std::string_view::npos;
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

// One --set word for the shell, or "" with `why` set when none can be written.
std::string ShellWord(const std::string& word, std::string& why) {
    if (std::all_of(word.begin(), word.end(), IsPlain)) {
        return word;
    }
    if (const auto bad = std::find_if(word.begin(), word.end(), IsControl); bad != word.end()) {
        why = "it holds a control character, which a terminal would not take as it is";
        return "";
    }
#ifdef _WIN32
    // Inside double quotes cmd.exe and PowerShell both take & | < > ^ ( ) ; and
    // spaces as they are. Left are the characters that either expands or that
    // ends the quotes for one of them: % (cmd), ! (cmd with delayed
    // expansion), $ and ` (PowerShell), " and the quotation marks PowerShell
    // reads as ", in the code page's bytes (0x84, 0x93, 0x94 in Windows-1252),
    // and a backslash before the closing quote, which the program's C runtime
    // reads with it and PowerShell does not.
    constexpr std::string_view kUnsafe = "%!$`\"\x84\x93\x94";
    if (const auto bad = word.find_first_of(kUnsafe); bad != std::string::npos) {
        why = std::string("it holds the character ") + word[bad] +
              ", which cmd.exe or PowerShell would not pass as it is";
        return "";
    }
    if (word.back() == '\\') {
        why = "it ends with a backslash, which cmd.exe and PowerShell would pass differently";
        return "";
    }
    return "\"" + word + "\"";
#else
    // Inside single quotes sh takes every character as it is but the quote.
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

}  // namespace

#ifdef _WIN32
const char* const kShellCommandWhere = "in a Command Prompt or PowerShell run as administrator";
#else
const char* const kShellCommandWhere = "in a terminal";
#endif

ShellCommand SetCommand(const std::vector<RegValue>& from, const std::vector<RegValue>& to) {
    ShellCommand result;
    std::string words;
    for (const RegValue& value : to) {
        if (std::find(from.begin(), from.end(), value) != from.end() &&
            !(words.empty() && &value == &to.back())) {
            continue;  // stored already; a command with nothing to set sets the last value
        }
        std::string why;
        const std::string word = ShellWord(value.name + "=" + SettableValue(value), why);
        if (word.empty()) {
            return {"",
                    "The value of " + value.name + " cannot be written for a shell: " + why + "."};
        }
        words += " " + word;
    }
#ifdef _WIN32
    result.command = "tavirap --set" + words;
#else
    result.command = "sudo tavirap --set" + words;
#endif
    return result;
}

}  // namespace tavirap
