// The values a run of the command line asks to store, from a registry file
// or from --set's NAME=VALUE arguments, each checked as the dialog checks it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "settings/SettingsSchema.h"

namespace tavirap {

inline constexpr const char* kProgram = "tavirap";

// A value's name as a registry file writes it: quoted, or @ for the default.
std::string Quoted(std::string_view name);

// One message about the input, where it is: problems refuse the input,
// warnings refuse it under --strict, notes never do.
struct Finding {
    enum Kind { kNote, kWarning, kProblem } kind;
    std::size_t line;  // 0: not in a file
    std::string text;
};

struct Findings {
    std::vector<Finding> list;

    // Kept in line order, those of one line in the order found; they come
    // mostly in line order, so each goes in at or near the end.
    void Add(Finding::Kind kind, std::size_t line, std::string text) {
        list.insert(std::ranges::upper_bound(list, line, {}, &Finding::line),
                    {kind, line, std::move(text)});
    }
    // Written in line order, each line as "where:line: text"; whether the
    // input is accepted.
    bool Report(const std::string& where, bool strict, std::string& err) const {
        bool accepted = true;
        for (const Finding& f : list) {
            err += where + (f.line != 0 ? ":" + std::to_string(f.line) : "") + ": " + f.text + "\n";
            accepted =
                accepted && f.kind != Finding::kProblem && !(strict && f.kind == Finding::kWarning);
        }
        return accepted;
    }
};

// One value to store, checked.
struct Change {
    SchemaValue value;
    std::int32_t number = 0;
    std::string text;
};

// The changes of one run, each value at most once.
struct Changes {
    std::vector<Change> list;

    // Whether the value is new to the run; a value given twice is refused,
    // whatever its spelling, so that no setting is dropped unseen.
    bool Add(Change change);
    void ApplyTo(PortSettings& settings) const;
};

// The changes a registry file (or standard input, for "-") asks for. Every
// problem, warning and note is written on io.err, in line order, with the
// file and the line; whether the file is accepted (warnings refuse it when
// strict).
bool ChangesFromFile(const std::string& file, bool strict, Console& io, Changes& changes);

// NAME=VALUE, as --set takes it: numbers in decimal.
void ChangeFromArgument(std::string_view name, std::string_view value, Changes& changes,
                        Findings& findings);

}  // namespace tavirap
