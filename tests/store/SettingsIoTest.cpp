#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "store/MemoryStore.h"
#include "store/SettingsIo.h"
#include "tests/store/Bytes.h"

namespace tavirap {
namespace {

// A text as the store keeps it: its bytes, then zero bytes up to size.
Bytes Text(std::string_view text, std::size_t size) {
    Bytes data(text.begin(), text.end());
    data.resize(size, 0);
    return data;
}

// A key's values by name as created.
using Values = std::map<std::string, std::pair<ValueType, Bytes>>;

// What a save of the defaults writes.
Values Defaults() {
    Values values;
    for (int n = 1; n <= kPortCount; ++n) {
        values["PortAdd" + std::to_string(n)] = {kRegDword, Dword(n)};
    }
    values["MaxPort"] = {kRegDword, Dword(8)};
    values["DataBit"] = {kRegSz, Text("8", 2)};
    values["StopBit"] = {kRegSz, Text("1", 2)};
    values["Parity"] = {kRegSz, Text("No Parity", 22)};
    values["TRxPort"] = {kRegSz, Text("COM1", 8)};
    values["BaudRate"] = {kRegSz, Text("9600", 12)};
    values["FLow Control"] = {kRegSz, Text("Hardware", 16)};
    return values;
}

// The writes of one save, in the order the driver's key is written.
std::vector<std::string> SaveLog() {
    std::vector<std::string> log = {"create SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT"};
    for (int n = 1; n <= kPortCount; ++n) {
        log.push_back("set PortAdd" + std::to_string(n));
    }
    for (const char* name : {"set MaxPort", "set DataBit", "set StopBit", "set Parity",
                             "set TRxPort", "set BaudRate", "set FLow Control", "close"}) {
        log.push_back(name);
    }
    return log;
}

class SettingsIo : public ::testing::Test {
protected:
    void Put(std::string_view name, ValueType type, Bytes data) {
        store.AddKey(kServiceKeyPath).push_back({std::string(name), type, std::move(data)});
    }

    Values Stored() {
        Values values;
        if (const MemoryStore::Values* key = store.FindKey(kServiceKeyPath)) {
            for (const StoredValue& v : *key) {
                values[v.name] = {v.type, v.data};
            }
        }
        return values;
    }

    MemoryStore store;
    PortSettings settings;
};

TEST_F(SettingsIo, EmptyStoreIsCreatedWithTheDefaults) {
    settings.parity = "Odd Parity";
    const LoadResult result = LoadSettings(store, settings);

    EXPECT_FALSE(result.readOnly);
    EXPECT_TRUE(result.defaultsShown);
    EXPECT_EQ(result.saveStatus, status::kSuccess);
    std::vector<std::string> expected = {"open all SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT"};
    for (const auto& line : SaveLog()) {
        expected.push_back(line);
    }
    EXPECT_EQ(store.log, expected);
    EXPECT_EQ(Stored(), Defaults());
    EXPECT_EQ(settings.parity, "No Parity");
}

TEST_F(SettingsIo, StoredValuesAreLoadedAndMissingOnesTakeTheirFallbacks) {
    struct Case {
        const char* name;
        std::string PortSettings::*field;
        const char* stored;
        const char* fallback;
    };
    const Case cases[] = {
        {"DataBit", &PortSettings::dataBits, "7", "8"},
        {"StopBit", &PortSettings::stopBits, "2", "1"},
        {"Parity", &PortSettings::parity, "Even Parity", "No Parity"},
        {"TRxPort", &PortSettings::mainPort, "COM7", "COM1"},
        {"BaudRate", &PortSettings::baudRate, "115200", "9600"},
        {"Flow Control", &PortSettings::flowControl, "None", "Hardware"},
    };
    // Each text missing in turn, the others stored.
    for (const Case& missing : cases) {
        store = MemoryStore();
        for (const Case& c : cases) {
            if (&c != &missing) {
                Put(c.name, kRegSz, Sz(c.stored));
            }
        }
        Put("PortAdd5", kRegDword, Dword(33));
        Put("portadd64", kRegDword, Dword(-4));
        LoadSettings(store, settings);
        for (const Case& c : cases) {
            EXPECT_EQ(settings.*c.field, &c == &missing ? c.fallback : c.stored)
                << c.name << " with " << missing.name << " missing";
        }
        EXPECT_EQ(settings.addresses[4], 33);
        EXPECT_EQ(settings.rowAddress[4], 33);
        EXPECT_EQ(settings.addresses[63], -4);
        EXPECT_EQ(settings.addresses[5], 6);
        EXPECT_EQ(Stored().count("portadd64"), 1u);  // written back under its own spelling
    }
}

TEST_F(SettingsIo, TotalIsAlwaysAnEntryOfTheList) {
    struct Case {
        std::int32_t stored, index, written;
    };
    const Case cases[] = {{100, 9, 64}, {72, 9, 64}, {64, 9, 64}, {20, 3, 16},   {3, 1, 4},
                          {0, 1, 4},    {-8, 0, 2},  {-16, 0, 2}, {-1000, 0, 2}, {2, 0, 2}};
    for (const Case& c : cases) {
        store = MemoryStore();
        Put("MaxPort", kRegDword, Dword(c.stored));
        LoadSettings(store, settings);
        EXPECT_EQ(settings.totalIndex, c.index) << c.stored;
        EXPECT_EQ(settings.page.pageCount, PageCountFromIndex(c.index)) << c.stored;
        EXPECT_EQ(Stored().at("MaxPort"), std::pair(kRegDword, Dword(c.written))) << c.stored;
    }
    settings.totalIndex = -1;  // the list without a choice
    SaveSettings(store, settings);
    EXPECT_EQ(Stored().at("MaxPort"), std::pair(kRegDword, Dword(2)));
}

TEST_F(SettingsIo, TextsAreReadToTheirFirstZeroAndWrittenAtTheirSize) {
    const std::string sixtyFour(64, 'x');
    struct Case {
        const char* name;
        Bytes stored;
        std::string PortSettings::*field;
        std::string loaded;
        Bytes written;
    };
    const Case cases[] = {
        // Filler past the terminator carries no meaning and is not kept.
        {"Parity", Text("Even Parity", 30), &PortSettings::parity, "Even Parity",
         Text("Even Parity", 22)},
        // A text as long as its size is kept without terminator.
        {"TRxPort", Text("COM12345", 8), &PortSettings::mainPort, "COM12345", Text("COM12345", 8)},
        {"BaudRate", BytesOf(sixtyFour), &PortSettings::baudRate, sixtyFour,
         Text(std::string(12, 'x'), 12)},
        // 65 bytes do not fit the 64-byte buffer: the fallback.
        {"BaudRate", Text(sixtyFour, 65), &PortSettings::baudRate, "9600", Text("9600", 12)},
        {"DataBit", {}, &PortSettings::dataBits, "", Text("", 2)},
        {"StopBit", {'1', '.', '5'}, &PortSettings::stopBits, "1.5", {'1', '.'}},
        {"DataBit", {'7', 0, '9'}, &PortSettings::dataBits, "7", {'7', 0}},
    };
    for (const Case& c : cases) {
        store = MemoryStore();
        Put(c.name, kRegSz, c.stored);
        LoadSettings(store, settings);
        EXPECT_EQ(settings.*c.field, c.loaded) << c.name;
        EXPECT_EQ(Stored().at(c.name), std::pair(kRegSz, c.written)) << c.name;
    }
}

TEST_F(SettingsIo, CutTextsKeepWholeCharacters) {
    struct Case {
        std::string text;
        Bytes written;  // in the 2-byte "StopBit"
    };
    const Case cases[] = {
        {"\xC3\xA9", {0xC3, 0xA9}},      // é fits exactly
        {"1\xC3\xA9", {'1', 0}},         // é would be split
        {"\xE2\x82\xAC", {0, 0}},        // € is three bytes
        {"\x80\x80\x80", {0x80, 0x80}},  // stray bytes count one each
        {"12", {'1', '2'}},
    };
    for (const Case& c : cases) {
        settings.stopBits = c.text;
        ASSERT_EQ(SaveSettings(store, settings), status::kSuccess);
        EXPECT_EQ(Stored().at("StopBit"), std::pair(kRegSz, c.written)) << c.text;
    }
}

TEST_F(SettingsIo, FlowControlCreatedUnderItsOtherNameIsOverwrittenInPlace) {
    Put("Flow Control", kRegSz, Text("None", 5));
    LoadSettings(store, settings);
    EXPECT_EQ(settings.flowControl, "None");
    EXPECT_EQ(Stored().at("Flow Control"), std::pair(kRegSz, Text("None", 16)));
    EXPECT_EQ(Stored().count("FLow Control"), 0u);
}

TEST_F(SettingsIo, ShortNumbersCountFromTheirLowBytes) {
    Put("MaxPort", kRegDword, {16});
    Put("PortAdd1", kRegDword, {0x34, 0x12});
    Put("PortAdd2", kRegDword, {});
    Put("PortAdd3", kRegDword, {1, 2, 3, 4, 5});  // too large: the fallback
    LoadSettings(store, settings);
    EXPECT_EQ(settings.totalIndex, 3);
    EXPECT_EQ(settings.addresses[0], 0x1234);
    EXPECT_EQ(settings.addresses[1], 0);
    EXPECT_EQ(settings.addresses[2], 3);
}

TEST_F(SettingsIo, KeyThatCannotBeWrittenIsLoadedReadOnly) {
    Put("MaxPort", kRegDword, Dword(64));
    Put("PortAdd9", kRegDword, Dword(50));
    Put("Parity", kRegSz, Text("Odd Parity", 22));
    const Values before = Stored();
    store.openAllAccessFailure = status::kAccessDenied;

    const LoadResult result = LoadSettings(store, settings);

    EXPECT_TRUE(result.readOnly);
    EXPECT_FALSE(result.defaultsShown);
    EXPECT_EQ(result.readOnlyStatus, status::kAccessDenied);
    EXPECT_EQ(result.readOnlyReason, StatusText(status::kAccessDenied));
    EXPECT_EQ(settings.totalIndex, 9);
    EXPECT_EQ(settings.parity, "Odd Parity");
    EXPECT_EQ(settings.addresses[8], 50);
    EXPECT_EQ(settings.page.pageCount, 8);
    EXPECT_EQ(store.log.at(1), "open read SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT");
    EXPECT_EQ(store.log.back(), "close");
    EXPECT_TRUE(std::none_of(store.log.begin(), store.log.end(), [](const std::string& line) {
        return line.starts_with("set") || line.starts_with("create");
    }));
    EXPECT_EQ(Stored(), before);
}

TEST_F(SettingsIo, KeyThatCannotBeReadShowsTheDefaultsAndWritesNothing) {
    struct Case {
        Status all, read, reported;
        bool keyExists;
    };
    const Case cases[] = {
        {status::kBadDatabase, status::kBadDatabase, status::kBadDatabase, true},
        {status::kAccessDenied, status::kAccessDenied, status::kAccessDenied, true},
        {status::kAccessDenied, status::kSuccess, status::kAccessDenied, false},  // missing
    };
    for (const Case& c : cases) {
        store = MemoryStore();
        if (c.keyExists) {
            Put("MaxPort", kRegDword, Dword(64));
        }
        store.openAllAccessFailure = c.all;
        store.openReadOnlyFailure = c.read;
        settings.totalIndex = 9;
        const LoadResult result = LoadSettings(store, settings);
        EXPECT_TRUE(result.readOnly);
        EXPECT_TRUE(result.defaultsShown);
        EXPECT_EQ(result.readOnlyStatus, c.reported);
        EXPECT_EQ(settings.totalIndex, 2);
        EXPECT_EQ(settings.addresses[63], 64);
        EXPECT_EQ(store.log.size(), 2u);
        EXPECT_EQ(store.FindKey(kServiceKeyPath) != nullptr, c.keyExists);
    }
}

TEST_F(SettingsIo, SaveReportsTheFirstFailureAndStillWritesEveryValue) {
    ResetDefaults(settings);
    store.AddKey(kServiceKeyPath);
    store.setFailures = {{"PortAdd3", status::kDiskFull}, {"Parity", status::kAccessDenied}};
    EXPECT_EQ(SaveSettings(store, settings), status::kDiskFull);
    EXPECT_EQ(store.log, SaveLog());
    Values written = Defaults();
    written.erase("PortAdd3");
    written.erase("Parity");
    EXPECT_EQ(Stored(), written);

    store.log.clear();
    store.createFailure = status::kAccessDenied;
    EXPECT_EQ(SaveSettings(store, settings), status::kAccessDenied);
    EXPECT_EQ(store.log,
              std::vector<std::string>{"create SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT"});

    store = MemoryStore();  // the load's write-back reports its failure too
    store.setFailures = {{"MaxPort", status::kWriteFault}};
    const LoadResult result = LoadSettings(store, settings);
    EXPECT_FALSE(result.readOnly);
    EXPECT_EQ(result.saveStatus, status::kWriteFault);
}

}  // namespace
}  // namespace tavirap
