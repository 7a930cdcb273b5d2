// The program's Windows resources, read back through the system: icon 128
// with its four images.
#include <windows.h>

#include <gtest/gtest.h>

#include <string_view>

namespace {

std::string_view Resource(LPCSTR type, LPCSTR name) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (found == nullptr) {
        return {};
    }
    const void* data = LockResource(LoadResource(nullptr, found));
    return {static_cast<const char*>(data), SizeofResource(nullptr, found)};
}

// A group icon resource: a header of three words, the last the count of its
// images, then 14 bytes for each.
TEST(Resources, Icon128HasItsFourImages) {
    const std::string_view group = Resource(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(128));
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(group.data() + 4), 4);
    EXPECT_EQ(group.size(), 6u + 4 * 14);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128)), nullptr);
}

}  // namespace
