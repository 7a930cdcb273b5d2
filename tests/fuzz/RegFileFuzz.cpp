// The registry file's reader on any bytes: it never fails but with a line of
// the file, and what it read, written back, reads back the same, also after
// every value has been set anew and is written in the writer's own form.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "store/RegFile.h"

namespace {

using tavirap::RegDocument;

void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

bool SameValues(const RegDocument& a, const RegDocument& b) {
    if (a.format != b.format || a.sections.size() != b.sections.size()) {
        return false;
    }
    for (std::size_t s = 0; s < a.sections.size(); ++s) {
        const auto& x = a.sections[s];
        const auto& y = b.sections[s];
        if (x.path != y.path) {
            return false;
        }
        for (const auto& entry : x.entries) {
            const tavirap::RegValue* other = entry.isValue ? y.Find(entry.value.name) : nullptr;
            if (entry.isValue &&
                (other == nullptr || other->name != entry.value.name ||
                 other->type != entry.value.type || other->data != entry.value.data)) {
                return false;
            }
        }
        for (const auto& entry : y.entries) {
            if (entry.isValue && x.Find(entry.value.name) == nullptr) {
                return false;
            }
        }
    }
    return true;
}

// Writes the document and reads it back: the same values, and the same text
// when written once more.
void RoundTrip(const RegDocument& document) {
    const std::string written = tavirap::WriteRegFile(document);
    RegDocument again;
    tavirap::RegParseError error;
    if (!tavirap::ParseRegFile(written, again, error)) {
        std::fprintf(stderr, "line %zu: %s\n", error.line, error.message.c_str());
        Require(false, "what was written does not read back");
    }
    Require(SameValues(document, again), "what was written reads back as other values");
    Require(tavirap::WriteRegFile(again) == written, "writing what was read back changes it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RegDocument document;
    tavirap::RegParseError error;
    if (!tavirap::ParseRegFile(text, document, error)) {
        Require(error.line >= 1 && error.line <= size + 1, "the error names no line of the file");
        Require(!error.message.empty(), "the error says nothing");
        return 0;
    }
    RoundTrip(document);
    for (auto& section : document.sections) {
        for (auto& entry : section.entries) {
            if (entry.isValue) {
                section.Set(entry.value.name, entry.value.type, entry.value.data);
            }
        }
    }
    RoundTrip(document);
    return 0;
}
