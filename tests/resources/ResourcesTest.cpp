// The program's Windows resources, read back through the system: icon 128
// with its four images and the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

#pragma pack(push, 2)
struct IconDirEntry {  // GRPICONDIRENTRY
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

std::string_view Resource(LPCSTR type, LPCSTR name) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (found == nullptr) {
        return {};
    }
    const void* data = LockResource(LoadResource(nullptr, found));
    return {static_cast<const char*>(data), SizeofResource(nullptr, found)};
}

TEST(Resources, Icon128HasItsFourImages) {
    const std::string_view group = Resource(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(128));
    ASSERT_GE(group.size(), 6u);
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(count, 4);
    ASSERT_EQ(group.size(), 6 + count * sizeof(IconDirEntry));
    const auto* entries = reinterpret_cast<const IconDirEntry*>(group.data() + 6);
    // (width, colours: 16 in four bits a pixel, 256 in eight)
    std::vector<std::tuple<int, int, int>> images;
    for (WORD i = 0; i < count; ++i) {
        images.emplace_back(entries[i].width, entries[i].height, entries[i].bitCount);
        EXPECT_NE(Resource(MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(entries[i].id)).size(), 0u);
    }
    EXPECT_EQ(images, (std::vector<std::tuple<int, int, int>>{
                          {32, 32, 4}, {16, 16, 4}, {48, 48, 8}, {32, 32, 8}}));
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128)), nullptr);
}

TEST(Resources, ManifestAsksForStylesDpiAndTheHighestRights) {
    const std::string manifest(Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1)));
    for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
                             "level=\"highestAvailable\"", "PerMonitorV2"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

}  // namespace
