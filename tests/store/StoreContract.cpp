#include "tests/store/StoreContract.h"

#include "tests/store/Bytes.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavirap {
namespace {

struct Value {
    const char* name;
    ValueType type;
    Bytes data;
};

// Every kind of data a store must keep exactly as given.
const std::vector<Value>& Values() {
    static const std::vector<Value> values{
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
    return values;
}

// The value as stored, or the failing status.
Status Read(SettingsKey& key, std::string_view name, ValueType& type, Bytes& data) {
    std::uint32_t size = 0;
    Status result = key.QueryValue(name, &type, nullptr, size);
    if (result != status::kSuccess) {
        return result;
    }
    data.assign(size, 0xcc);
    result = key.QueryValue(name, &type, data.data(), size);
    data.resize(size);
    return result;
}

void ExpectValues(SettingsKey& key) {
    for (const auto& value : Values()) {
        ValueType type = 0xdead;
        Bytes data;
        ASSERT_EQ(Read(key, value.name, type, data), status::kSuccess) << value.name;
        EXPECT_EQ(type, value.type) << value.name;
        EXPECT_EQ(data, value.data) << value.name;
    }
}

TEST_P(StoreContract, KeepsEveryTypeAndItsExactBytes) {
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store->CreateKey(kServiceKeyPath, key), status::kSuccess);
    for (const auto& value : Values()) {
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

TEST_P(StoreContract, NamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store->CreateKey("Software\\Tavirap Test", key), status::kSuccess);
    const Bytes hardware = BytesOf(std::string_view("Hardware\0", 9));
    const Bytes none = BytesOf(std::string_view("None\0", 5));
    ASSERT_EQ(key->SetValue("Flow Control", kRegSz, hardware.data(), 9), status::kSuccess);
    ASSERT_EQ(key->SetValue("FLow Control", kRegSz, none.data(), 5), status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);

    ASSERT_EQ(store->OpenKeyAllAccess("SOFTWARE\\tavirap test", key), status::kSuccess);
    ValueType type = 0;
    Bytes data;
    ASSERT_EQ(Read(*key, "flow control", type, data), status::kSuccess);
    EXPECT_EQ(data, none);
    ASSERT_EQ(key->Close(), status::kSuccess);
    EXPECT_EQ(GetParam().valueNames(*store, "Software\\Tavirap Test"),
              std::vector<std::string>{"Flow Control"});
}

TEST_P(StoreContract, MissingKeysAndValuesAreNotFound) {
    std::unique_ptr<SettingsKey> key;
    EXPECT_EQ(store->OpenKeyAllAccess(kServiceKeyPath, key), status::kNotFound);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(store->OpenKeyReadOnly(kServiceKeyPath, key), status::kNotFound);
    EXPECT_EQ(key, nullptr);

    ASSERT_EQ(store->CreateKey(kServiceKeyPath, key), status::kSuccess);
    std::uint8_t buffer[4] = {};
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(key->QueryValue("MaxPort", nullptr, buffer, size), status::kNotFound);
    ASSERT_EQ(key->Close(), status::kSuccess);

    // Created, the key exists even without values.
    ASSERT_EQ(store->OpenKeyAllAccess(kServiceKeyPath, key), status::kSuccess);
    EXPECT_EQ(key->Close(), status::kSuccess);
}

TEST_P(StoreContract, QueryReportsTheSizeItNeeds) {
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store->CreateKey(kServiceKeyPath, key), status::kSuccess);
    const Bytes text = BytesOf(std::string_view("No Parity\0", 10));
    ASSERT_EQ(key->SetValue("Parity", kRegSz, text.data(), 10), status::kSuccess);

    struct Case {
        std::uint32_t capacity;
        bool withBuffer;
        Status expected;
    };
    for (const Case& c : {Case{4, true, status::kMoreData}, Case{9, true, status::kMoreData},
                          Case{10, true, status::kSuccess}, Case{64, true, status::kSuccess},
                          Case{0, false, status::kSuccess}, Case{4, false, status::kSuccess}}) {
        Bytes buffer(64, 0xcc);
        std::uint32_t size = c.capacity;
        ValueType type = 0;
        EXPECT_EQ(key->QueryValue("parity", &type, c.withBuffer ? buffer.data() : nullptr, size),
                  c.expected)
            << c.capacity;
        EXPECT_EQ(size, 10u) << c.capacity;
        EXPECT_EQ(type, kRegSz) << c.capacity;
        if (c.withBuffer && c.expected == status::kSuccess) {
            EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 10), text);
        }
    }
    EXPECT_EQ(key->Close(), status::kSuccess);
}

TEST_P(StoreContract, TextOfSixtyFourBytesFitsOnlyWithoutItsTerminator) {
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store->CreateKey(kServiceKeyPath, key), status::kSuccess);
    Bytes text(64, 'x');
    ASSERT_EQ(key->SetValue("Without", kRegSz, text.data(), 64), status::kSuccess);
    text.push_back(0);
    ASSERT_EQ(key->SetValue("With", kRegSz, text.data(), 65), status::kSuccess);
    ASSERT_EQ(key->Close(), status::kSuccess);

    ASSERT_EQ(store->OpenKeyReadOnly(kServiceKeyPath, key), status::kSuccess);
    std::uint8_t buffer[64];
    std::uint32_t size = 64;
    EXPECT_EQ(key->QueryValue("Without", nullptr, buffer, size), status::kSuccess);
    EXPECT_EQ(Bytes(buffer, buffer + size), Bytes(64, 'x'));
    size = 64;
    EXPECT_EQ(key->QueryValue("With", nullptr, buffer, size), status::kMoreData);
    EXPECT_EQ(size, 65u);
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
    ValueType type = 0;
    Bytes data;
    EXPECT_EQ(Read(*key, "MaxPort", type, data), status::kSuccess);
    EXPECT_EQ(data, Dword(8));
    EXPECT_EQ(Read(*key, "New", type, data), status::kNotFound);
}

}  // namespace
}  // namespace tavirap
