#include "cli/SaveJob.h"

#include <algorithm>

#include "store/RegFile.h"

namespace tavirap {

namespace {

bool IsFingerprint(const std::string& text) {
    return text.size() == 16 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
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
    const int exitCode = ImportValues("-", args[0], store, job);
    io.out += job.out;
    io.err += job.err;
    return exitCode;
}

}  // namespace tavirap
