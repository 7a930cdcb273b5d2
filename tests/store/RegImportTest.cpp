// What the registry file store writes on Linux is what Windows' own tools read:
// a file written by the same writer, imported with `reg import`, reads back
// through the registry with every type and byte it was written with.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "store/RegFile.h"
#include "store/RegistryStore.h"
#include "store/SettingsIo.h"
#include "tests/store/MemoryStore.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {
namespace {

TEST(RegImport, WrittenFileImportsByteForByte) {
    // A saved configuration with texts at every length the key has, plus
    // values that only hex() forms can carry.
    PortSettings settings;
    ResetDefaults(settings);
    settings.parity = "Even Parity";
    settings.stopBits = "1.5";
    settings.mainPort = "COM12345";
    settings.baudRate = "1\"2\\3";
    settings.addresses[5] = -7;
    MemoryStore saved;
    ASSERT_EQ(SaveSettings(saved, settings), status::kSuccess);
    MemoryStore::Values values = *saved.FindKey(kServiceKeyPath);
    values.push_back({"Unterminated", kRegSz, {'a', 'b'}});
    values.push_back({"Blob", kRegBinary, {0, 1, 0xff}});
    values.push_back({"Short", kRegDword, {1, 2, 3}});
    values.push_back({"Wide", 11, {1, 2, 3, 4, 5, 6, 7, 8}});

    RegistryTestKey root("import");
    RegDocument document;
    RegSection& section =
        document.AddSection(root.FullName() + "\\" + std::string(kServiceKeyPath));
    for (const StoredValue& value : values) {
        section.Set(value.name, value.type, value.data);
    }
    char folder[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string file = std::string(folder) + "tavirap-import-test.reg";
    std::ofstream(file, std::ios::binary) << WriteRegFile(document);
    ASSERT_EQ(std::system(("reg import \"" + file + "\" >NUL 2>&1").c_str()), 0);
    std::remove(file.c_str());

    RegistryStore store(root.Handle());
    std::unique_ptr<SettingsKey> key;
    ASSERT_EQ(store.OpenKeyReadOnly(kServiceKeyPath, key), status::kSuccess);
    for (const StoredValue& value : values) {
        std::vector<std::uint8_t> data(64, 0xcc);
        std::uint32_t size = 64;
        ValueType type = 0;
        ASSERT_EQ(key->QueryValue(value.name, &type, data.data(), size), status::kSuccess)
            << value.name;
        data.resize(size);
        EXPECT_EQ(type, value.type) << value.name;
        // Wine's importer ends a text that fills its whole size (hex(1) data
        // without a zero) with one zero byte more; readers stop there anyway.
        std::vector<std::uint8_t> expected = value.data;
        if (value.type == kRegSz && (expected.empty() || expected.back() != 0)) {
            expected.push_back(0);
        }
        EXPECT_EQ(data, expected) << value.name;
    }
}

}  // namespace
}  // namespace tavirap
