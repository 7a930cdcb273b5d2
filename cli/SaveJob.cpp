#include "cli/SaveJob.h"

#include <algorithm>
#include <cstdint>

namespace tavirap {

namespace {

bool IsFingerprint(const std::string& text) {
    return text.size() == 16 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// One --set argument, quoted for the platform's shell where it needs it.
std::string Quoted(const std::string& word) {
    const bool plain = std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               std::string_view("=_-.,:+/").find(c) != std::string_view::npos;
    });
    if (plain) {
        return word;
    }
#ifdef _WIN32
    return "\"" + word + "\"";
#else
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

}  // namespace

int RunSaveJob(const std::vector<std::string>& args, SettingsStore& store, Console& io) {
    if (args.empty() || !IsFingerprint(args[0])) {
        io.err +=
            "tavirap: with administrator rights, only the dialog's save is run: it takes "
            "the fingerprint of the settings read, then the values\n";
        return kExitUsage;
    }
    Console job;
    if (args.size() == 1) {
        job.readInput = io.readInput;
    } else {
        std::string text;
        for (std::size_t i = 1; i < args.size() && text.size() <= kMaxRegFileSize; ++i) {
            text += args[i] + "\r\n";
        }
        job.readInput = [text](std::string& input, std::size_t limit) {
            input = text.substr(0, limit + 1);
            return true;
        };
    }
    const int exitCode = RunCommandLine({"--import", "-", "--if-unchanged", args[0]}, store, job);
    io.out += job.out;
    io.err += job.err;
    return exitCode;
}

std::string SetCommand(const std::vector<RegValue>& from, const std::vector<RegValue>& to) {
    std::string command;
    for (const RegValue& value : to) {
        if (std::find(from.begin(), from.end(), value) != from.end() &&
            !(command.empty() && &value == &to.back())) {
            continue;  // stored already; a command with nothing to set sets the last value
        }
        std::string text;
        if (value.type == kRegDword && value.data.size() == 4) {
            std::uint32_t bits = 0;
            for (int i = 0; i < 4; ++i) {
                bits |= std::uint32_t{value.data[i]} << (8 * i);
            }
            text = std::to_string(static_cast<std::int32_t>(bits));
        } else {
            text.assign(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
        }
        command += " " + Quoted(value.name + "=" + text);
    }
#ifdef _WIN32
    return "tavirap --set" + command;
#else
    return "sudo tavirap --set" + command;
#endif
}

}  // namespace tavirap
