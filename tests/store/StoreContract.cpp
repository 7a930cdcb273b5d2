#include "tests/store/StoreContract.h"

#include <vector>

#include "settings/SettingsSchema.h"
#include "store/SettingsIo.h"
#include "tests/store/Bytes.h"
#include "tests/store/MemoryStore.h"

namespace tavirap {
namespace {

struct Value {
    const char* name;
    ValueType type;
    Bytes data;
};

// Every kind of data a store must keep exactly as given.
const std::vector<Value> kValues{
    {"Text", kRegSz, BytesOf(std::string_view("COM1\0", 5))},
    {"Number", kRegDword, {0x10, 0x00, 0x00, 0x80}},
    {"Blob", kRegBinary, {0x00, 0xff, 0x00, 0x7f, 0x0a}},
    {"Multi", 7, BytesOf(std::string_view("a\0bc\0\0", 6))},
    {"Wide number", 11, {1, 2, 3, 4, 5, 6, 7, 8}},
    {"Empty text", kRegSz, {}},
    {"Short number", kRegDword, {1, 2, 3}},
    {"Text after zero", kRegSz, BytesOf(std::string_view("No\0Parity\0\0", 11))},
    {"Unterminated", kRegSz, BytesOf("Hardware")},
    {"Odd bytes", kRegSz, BytesOf("\x01\"\\\n\r\t\x7f\xc3\xa9\xff")},
    {"Nothing", kRegNone, {}},
    {"", kRegSz, BytesOf(std::string_view("default\0", 8))},
};

// Each value reads back with its type and bytes; a query reports the size the
// value needs, and with a buffer one byte short says so and copies nothing.
void ExpectValues(SettingsKey& key) {
    for (const Value& value : kValues) {
        SCOPED_TRACE(value.name);
        ValueType type = 0xdead;
        std::uint32_t size = 0;
        ASSERT_EQ(key.QueryValue(value.name, &type, nullptr, size), status::kSuccess);
        EXPECT_EQ(size, value.data.size());
        Bytes data(size + 1, 0xcc);
        if (size > 0) {
            std::uint32_t shorter = size - 1;
            EXPECT_EQ(key.QueryValue(value.name, &type, data.data(), shorter), status::kMoreData);
            EXPECT_EQ(shorter, size);
        }
        size = static_cast<std::uint32_t>(data.size());
        ASSERT_EQ(key.QueryValue(value.name, &type, data.data(), size), status::kSuccess);
        data.resize(size);
        EXPECT_EQ(type, value.type);
        EXPECT_EQ(data, value.data);
    }
}

TEST_P(StoreContract, KeepsEveryTypeAndItsExactBytes) {
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store->CreateKey(kServiceKeyPath, key), status::kSuccess);
    for (const Value& value : kValues) {
        ASSERT_EQ(key->SetValue(value.name, value.type, value.data.data(),
                                static_cast<std::uint32_t>(value.data.size())),
                  status::kSuccess)
            << value.name;
    }
    ExpectValues(*key);
    ASSERT_EQ(key->Close(), status::kSuccess);

    ASSERT_EQ(store->OpenKeyReadOnly(kServiceKeyPath, key), status::kSuccess);
    ExpectValues(*key);
    EXPECT_EQ(key->Close(), status::kSuccess);
}

// A key opened for all access takes writes, which the next open sees; one
// opened for reading refuses them.
TEST_P(StoreContract, OnlyAKeyOpenedForAllAccessTakesWrites) {
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store->CreateKey(kServiceKeyPath, key), status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);
    ASSERT_EQ(store->OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    ASSERT_EQ(key->SetValue("MaxPort", kRegDword, Dword(8).data(), 4), status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);

    ASSERT_EQ(store->OpenKeyReadOnly(kServiceKeyPath, key), status::kSuccess);
    EXPECT_EQ(key->SetValue("MaxPort", kRegDword, Dword(16).data(), 4), status::kAccessDenied);
    EXPECT_EQ(key->SetValue("New", kRegDword, Dword(16).data(), 4), status::kAccessDenied);
    ASSERT_EQ(key->Close(), status::kSuccess);

    ASSERT_EQ(store->OpenKeyReadOnly(kServiceKeyPath, key), status::kSuccess);
    Bytes data(4);
    std::uint32_t size = 4;
    EXPECT_EQ(key->QueryValue("MaxPort", nullptr, data.data(), size), status::kSuccess);
    EXPECT_EQ(data, Dword(8));
    EXPECT_EQ(key->QueryValue("New", nullptr, data.data(), size), status::kNotFound);
}

// A start writes back only the values the key lacks, and a save only those
// it changes: on Windows each write is a change of the driver's key that
// its watchers see.
TEST(SettingsWrites, OnlyTheValuesTheKeyDoesNotHold) {
    MemoryStore store;
    PortSettings settings;
    LoadSettings(store, settings);
    const std::size_t all = EverySchemaValue().size();
    EXPECT_EQ(store.writes, all);
    LoadSettings(store, settings);
    EXPECT_EQ(store.writes, all);
    std::erase_if(*store.FindKey(kServiceKeyPath),
                  [](const StoredValue& value) { return value.name == "Parity"; });
    LoadSettings(store, settings);
    EXPECT_EQ(store.writes, all + 1);
    const SaveOutcome saved = SaveChanges(store, {[](PortSettings& edited) {
                                                      edited.parity = "Odd Parity";
                                                      edited.addresses[3] = 9;
                                                  },
                                                  std::nullopt, false});
    EXPECT_EQ(saved.changes.size(), 2u);
    EXPECT_EQ(store.writes, all + 3);
}

}  // namespace
}  // namespace tavirap
