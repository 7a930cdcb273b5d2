// The command line's cases (cases.txt) on a real registry file in a folder of
// each case's own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/SaveJob.h"
#include "store/RegFileStore.h"
#include "tests/store/ReadOnlyStore.h"
#include "tests/store/TempFiles.h"

namespace tavirap {
namespace {

const std::string kCases = TAVIRAP_CLI_CASES;
const std::string kData = std::filesystem::path(kCases).parent_path() / "data";

struct Case {
    std::string before, command, input, exit, output, error, after;
    int line = 0;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << "cases.txt:" << c.line;
}

std::vector<std::string> Fields(const std::string& line, const std::string& separator) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const auto end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + separator.size();
    }
}

std::vector<Case> ReadCases() {
    std::vector<Case> cases;
    std::ifstream in(kCases);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        auto f = Fields(line, " | ");
        if (f.size() != 7) {
            ADD_FAILURE() << "cases.txt:" << number << ": expected 7 fields";
            continue;
        }
        cases.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], number});
    }
    return cases;
}

// Words split at blanks; "double quotes" keep blanks in a word (and a
// backslash, for \n).
std::vector<std::string> Arguments(const std::string& command, const std::string& folder) {
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string word; in >> std::quoted(word, '"', '\0');) {
        words.push_back(word);
    }
    // "@FILE": each line of data/FILE is a word, as a shell gives `--get`'s lines.
    if (const auto file = std::ranges::find_if(words, [](auto& w) { return w[0] == '@'; });
        file != words.end()) {
        std::ifstream lines(kData + "/" + file->substr(1));
        words.erase(file);
        for (std::string line; std::getline(lines, line);) {
            words.push_back(line);
        }
    }
    for (std::string& word : words) {
        for (const auto& [mark, path] :
             {std::pair{"{data}", kData}, {"{folder}", folder}, {"\\n", "\n"}}) {
            if (const auto at = word.find(mark); at != std::string::npos) {
                word.replace(at, std::string(mark).size(), path);
            }
        }
    }
    return words;
}

class CommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLine, Runs) {
    const Case& c = GetParam();
    SCOPED_TRACE("cases.txt:" + std::to_string(c.line) + ": " + c.command);
    const TempFolder temp;
    const std::string& folder = temp.Path();
    ASSERT_FALSE(folder.empty());
    const std::string registry = folder + "/registry.reg";
    // "read-only:FILE": the real file, for a user who may read it, not write
    // it; "denied": no file, and this user may create none.
    const bool readOnly = c.before.starts_with("read-only:") || c.before == "denied";
    const std::string seed = c.before.starts_with("read-only:") ? c.before.substr(10) : c.before;
    if (seed != "none" && seed != "denied") {
        std::filesystem::copy_file(kData + "/" + seed, registry);
    }
    struct stat before {};
    ::stat(registry.c_str(), &before);

    RegFileStore fileStore(registry);
    ReadOnlyStore readOnlyFile(fileStore);
    SettingsStore& store = readOnly ? static_cast<SettingsStore&>(readOnlyFile) : fileStore;
    const std::string input = c.input == "over-1MiB" ? std::string(kMaxRegFileSize + 1, ';')
                              : c.input == "-" || c.input.starts_with("lines:")
                                  ? std::string()
                                  : ReadFile(kData + "/" + c.input);
    Console io;
    io.readInput = [&](std::string& text, std::size_t limit) {
        text = input.substr(0, limit + 1);
        return true;
    };
    // A link planted where --export may be pointed, and a umask that would
    // make what it writes world-writable.
    ASSERT_EQ(::symlink((folder + "/victim").c_str(), (folder + "/planted").c_str()), 0);
    const mode_t umask = ::umask(0);
    std::vector<std::string> args = Arguments(c.command, folder);
    const bool job = args.front() == "save-job";  // the job run with administrator rights
    if (c.input.starts_with("lines:")) {          // its values as arguments, a line each
        std::istringstream lines(ReadFile(kData + "/" + c.input.substr(6)));
        for (std::string line; std::getline(lines, line);) {
            args.push_back(line.substr(0, line.find('\r')));
        }
    }
    const int exit = job ? RunSaveJob({args.begin() + 1, args.end()}, store, io)
                         : RunCommandLine(args, store, io);
    ::umask(umask);
    struct stat exported {};
    if (::stat((folder + "/exported.reg").c_str(), &exported) == 0) {
        EXPECT_EQ(exported.st_mode & 07777, 0644u);
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "/victim"));

    EXPECT_EQ(std::to_string(exit), c.exit) << io.err;
    std::string lines = c.output == "-" ? "" : c.output + "\n";
    for (std::size_t at; (at = lines.find("\\n")) != std::string::npos;) {
        lines.replace(at, 2, "\n");
    }
    if (c.output.starts_with("=")) {
        EXPECT_EQ(io.out, ReadFile(kData + "/" + c.output.substr(1)));
    } else if (c.output.ends_with(" ...")) {
        EXPECT_EQ(io.out.rfind(lines.substr(0, lines.size() - 5), 0), 0u) << io.out;
    } else {
        EXPECT_EQ(io.out, lines);
    }
    if (c.error == "-") {
        EXPECT_EQ(io.err, "");
    } else {
        std::size_t from = 0;  // the parts in their order
        for (const std::string& part : Fields(c.error, " && ")) {
            from = io.err.find(part, from);
            EXPECT_NE(from, std::string::npos) << part << " after the part before, in\n" << io.err;
        }
    }
    struct stat after {};
    const bool exists = ::stat(registry.c_str(), &after) == 0;
    if (c.after == "none") {
        EXPECT_FALSE(exists);
    } else if (c.after == "same") {
        EXPECT_EQ(ReadFile(registry), ReadFile(kData + "/" + seed));
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    } else {
        EXPECT_EQ(ReadFile(registry), ReadFile(kData + "/" + c.after));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, ::testing::ValuesIn(ReadCases()),
                         [](const auto& info) { return "line" + std::to_string(info.param.line); });

}  // namespace
}  // namespace tavirap
