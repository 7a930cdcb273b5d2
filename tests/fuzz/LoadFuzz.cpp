// A load of any stored values, of any type and size, and the saves after it:
// the texts fit their capacity and sizes, the total is an entry of the list,
// and a second load writes back what the first one wrote back.
//
// Input: a byte of flags (bit 0: the key exists), then records of a name
// index, a type and a length byte followed by that many data bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/SettingsSchema.h"
#include "store/RegFile.h"
#include "store/SettingsIo.h"
#include "tests/store/MemoryStore.h"

namespace {

using namespace tavirap;

void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

// One of the key's names, some in other spellings, or a port's address.
std::string Name(std::uint8_t n) {
    static const char* const kNames[] = {"MaxPort",      "DataBit",     "StopBit", "Parity",
                                         "TRxPort",      "BaudRate",    "maxport", "",
                                         "Flow Control", "FLow Control"};
    return n % 74 < 10 ? kNames[n % 74] : "PortAdd" + std::to_string(n % 74 - 9);
}

constexpr std::size_t kReadCapacity = 64;

bool IsUtf8(const std::string& text) {
    return Utf16ToUtf8(Utf8ToUtf16(text)) == text;
}

const StoredValue* Find(MemoryStore& store, std::string_view name) {
    for (const auto& value : *store.FindKey(kServiceKeyPath)) {
        if (SameName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

// The key's values, to compare.
std::string Values(MemoryStore& store) {
    std::string text;
    for (const auto& v : *store.FindKey(kServiceKeyPath)) {
        text += v.name + ":" + std::to_string(v.type) + ":" +
                std::string(v.data.begin(), v.data.end()) + "\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryStore store;
    std::unique_ptr<SettingsKey> key;
    if (size > 0 && (data[0] & 1) != 0 && store.CreateKey(kServiceKeyPath, key) == 0) {
        for (std::size_t pos = 1; pos + 3 <= size;) {
            const ValueType type = data[pos + 1] < 0xf0 ? data[pos + 1] % 8 : data[pos + 1];
            const auto length =
                static_cast<std::uint32_t>(std::min<std::size_t>(data[pos + 2], size - pos - 3));
            key->SetValue(Name(data[pos]), type, data + pos + 3, length);
            pos += 3 + length;
        }
        key->Close();
    }

    PortSettings first;
    const LoadResult loaded = LoadSettings(store, first);
    Require(!loaded.readOnly && loaded.saveStatus == status::kSuccess, "the load failed");
    Require(first.totalIndex >= 0 && first.totalIndex < kTotalEntries,
            "the total is no entry of the list");
    Require(first.page.pageCount == PageCountFromIndex(first.totalIndex), "wrong page count");
    for (const StoredRow& t : StoredRows()) {
        if (t.kind != StoredRow::kText) {
            continue;
        }
        const std::string& text = first.*t.member;
        Require(text.size() <= kReadCapacity, "a loaded text exceeds the read capacity");
        Require(text.find('\0') == std::string::npos, "a loaded text holds a zero byte");
        const StoredValue* stored = Find(store, t.name);
        Require(stored != nullptr && stored->type == kRegSz && stored->data.size() == t.size,
                "a text was not written back at its size");
        const std::string kept(stored->data.begin(),
                               std::find(stored->data.begin(), stored->data.end(), 0));
        Require(text.rfind(kept, 0) == 0, "the text written back is no start of the text");
        Require(!IsUtf8(text) || IsUtf8(kept), "a cut split a character");
    }
    const StoredValue* maxPort = Find(store, "MaxPort");
    Require(maxPort != nullptr && maxPort->data.size() == 4, "no MaxPort written back");
    const std::int32_t stored = static_cast<std::int32_t>(
        maxPort->data[0] | maxPort->data[1] << 8 | maxPort->data[2] << 16 |
        static_cast<std::uint32_t>(maxPort->data[3]) << 24);
    Require(stored == MaxPortFromIndex(first.totalIndex), "MaxPort is not the total's entry");

    // What was written back loads as it is: a second load writes back the same.
    const std::string writtenBack = Values(store);
    PortSettings second;
    LoadSettings(store, second);
    Require(Values(store) == writtenBack, "a load of what was written back differs");
    return 0;
}
