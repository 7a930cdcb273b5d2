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

// Writes the document and reads it back: the same text when written once
// more. Once every value is set anew, each is written from its data, so a
// value read back wrong is written differently.
void RoundTrip(const RegDocument& document) {
    const std::string written = tavirap::WriteRegFile(document);
    RegDocument again;
    tavirap::RegParseError error;
    if (!tavirap::ParseRegFile(written, again, error)) {
        std::fprintf(stderr, "line %zu: %s\n", error.line, error.message.c_str());
        Require(false, "what was written does not read back");
    }
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
            if (const tavirap::RegValue value = entry.Value(); entry.isValue) {
                section.Set(value.name, value.type, value.data);
            }
        }
    }
    RoundTrip(document);
    return 0;
}
