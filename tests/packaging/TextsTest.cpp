// The value lists and exit codes in the texts for users, held to the schema
// and the exit-code table the program runs on, so that neither drifts.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "cli/CommandLine.h"
#include "settings/SettingsSchema.h"
#include "tests/store/MemoryStore.h"

namespace tavirap {
namespace {

// A text's words in lower case, without groff's or Markdown's markup.
std::string Words(std::string text) {
    static const std::pair<std::regex, const char*> kMarkup[] = {
        {std::regex(R"(\\-)"), "-"},
        {std::regex(R"(\\e)"), "\\"},
        {std::regex(R"(\\f[BIR]|\\%|["`])"), ""},
        {std::regex(R"((\n\.(TP|BR?)\b|\s|\|)+)"), " "}};
    for (const auto& [markup, plain] : kMarkup) {
        text = std::regex_replace(text, markup, plain);
    }
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

TEST(Texts, GiveTheProgramsValuesAndExitCodes) {
    MemoryStore store;
    Console help;
    RunCommandLine({"--help"}, store, help);
    for (const std::string file : {"README.md", "docs/tavirap.1.in", "packaging/README.txt",
                                   "packaging/command-line.txt", "--help"}) {
        std::ostringstream text;
        text << (file == "--help" ? help.out : "")
             << std::ifstream(std::string(TAVIRAP_SOURCE_DIR) + "/" + file).rdbuf();
        const std::string words = Words(text.str());
        // Each row's name with what it takes and keeps a few words after it.
        for (const StoredRow& row : StoredRows()) {
            const std::string keeps =
                row.kind == StoredRow::kNumber ? "" : std::to_string(row.size) + " characters";
            for (const std::string& then : {TakesText(row), keeps}) {
                EXPECT_TRUE(
                    std::regex_search(words, std::regex(Words(row.name + (".{0,99}" + then)))))
                    << file << ": " << row.name << ": " << then;
            }
        }
        for (const ExitMeaning& exit : kExitMeanings) {
            EXPECT_NE(words.find(Words(std::to_string(exit.code) + " " + exit.words)),
                      std::string::npos)
                << file << ": exit code " << exit.code << " " << exit.words;
        }
    }
}

}  // namespace
}  // namespace tavirap
