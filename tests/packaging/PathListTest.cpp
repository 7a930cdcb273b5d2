#include <gtest/gtest.h>

#include "packaging/PathList.h"

namespace tavirap {
namespace {

constexpr std::wstring_view kFolder = L"C:\\Program Files\\TAVIRAP\\";  // as [INSTALLDIR] ends

struct Case {
    const wchar_t* path;
    const wchar_t* with;     // after the install
    const wchar_t* without;  // after the uninstall
};

// Other entries, empty ones, separators and unexpanded names stay as they
// are; the folder is found in any case, quoted or with a backslash.
const Case kCases[] = {
    {L"", L"C:\\Program Files\\TAVIRAP", L""},
    {L"%SystemRoot%\\system32;%SystemRoot%",
     L"%SystemRoot%\\system32;%SystemRoot%;C:\\Program Files\\TAVIRAP",
     L"%SystemRoot%\\system32;%SystemRoot%"},
    {L"A;B;", L"A;B;C:\\Program Files\\TAVIRAP", L"A;B;"},
    {L"A;;B", L"A;;B;C:\\Program Files\\TAVIRAP", L"A;;B"},
    {L"A;c:\\program files\\tavirap;B", L"A;c:\\program files\\tavirap;B", L"A;B"},
    {L"\"C:\\Program Files\\TAVIRAP\";B", L"\"C:\\Program Files\\TAVIRAP\";B", L"B"},
    {L"A;C:\\Program Files\\TAVIRAP\\\\", L"A;C:\\Program Files\\TAVIRAP\\\\", L"A"},
    {L"C:\\Program Files\\TAVIRAP;A;C:\\Program Files\\TAVIRAP",
     L"C:\\Program Files\\TAVIRAP;A;C:\\Program Files\\TAVIRAP", L"A"},
    {L"C:\\Program Files\\TAVIRAP", L"C:\\Program Files\\TAVIRAP", L""},
    // Not the folder: a longer name, a folder inside it, one left unexpanded.
    {L"C:\\Program Files\\TAVIRAP2;C:\\Program Files\\TAVIRAP\\bin",
     L"C:\\Program Files\\TAVIRAP2;C:\\Program Files\\TAVIRAP\\bin;C:\\Program Files\\TAVIRAP",
     L"C:\\Program Files\\TAVIRAP2;C:\\Program Files\\TAVIRAP\\bin"},
    {L"%ProgramFiles%\\TAVIRAP", L"%ProgramFiles%\\TAVIRAP;C:\\Program Files\\TAVIRAP",
     L"%ProgramFiles%\\TAVIRAP"},
};

TEST(PathList, AddsTheFolderOnceAndRemovesOnlyIt) {
    for (const Case& c : kCases) {
        const std::wstring with = PathWith(c.path, kFolder);
        EXPECT_EQ(with, c.with);
        EXPECT_EQ(PathWith(with, kFolder), with);  // a repair changes nothing
        EXPECT_EQ(PathWithout(c.path, kFolder), c.without);
    }
    EXPECT_TRUE(FitsInPath(kFolder));
    for (const wchar_t* folder : {L"", L"D:\\a;b\\", L"D:\\\"a\"\\"}) {
        EXPECT_FALSE(FitsInPath(folder)) << folder;
    }
    EXPECT_TRUE(SameFolder(L"C:\\", L"c:\\\\"));
    EXPECT_FALSE(SameFolder(L"C:", L"C:\\"));  // the drive's current folder, not its root
}

}  // namespace
}  // namespace tavirap
