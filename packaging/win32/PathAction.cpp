// The installer's custom actions that put the install folder on the machine's
// PATH and take it off again: Windows Installer's own Environment table would
// do it, but the package's build tool cannot write that table. Deferred, with
// the folder as CustomActionData; each leaves every other entry of PATH, and
// its registry type, as they were.
#include "platform/win32/Win32Api.h"

#include <msiquery.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "packaging/PathList.h"

namespace {

constexpr wchar_t kEnvironment[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
// The longest value an environment variable may have.
constexpr std::size_t kLongestPath = 32767;

void Log(MSIHANDLE install, const std::wstring& text) {
    PMSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, text.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

std::wstring Folder(MSIHANDLE install) {
    DWORD size = 0;
    wchar_t none[1] = {};
    MsiGetPropertyW(install, L"CustomActionData", none, &size);
    std::wstring folder(size + 1, L'\0');
    size = static_cast<DWORD>(folder.size());
    MsiGetPropertyW(install, L"CustomActionData", folder.data(), &size);
    folder.resize(size);
    return folder;
}

template <typename Edit>
UINT EditPath(MSIHANDLE install, const wchar_t* action, Edit edit) {
    const std::wstring folder = Folder(install);
    const auto fail = [&](const std::wstring& why) {
        Log(install, std::wstring(action) + L": " + why);
        return static_cast<UINT>(ERROR_INSTALL_FAILURE);
    };
    if (!tavirap::FitsInPath(folder)) {
        return fail(L"the install folder \"" + folder + L"\" cannot be an entry of PATH");
    }
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEnvironment, 0,
                                   KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, &opened);
    const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> key(opened,
                                                                                   RegCloseKey);
    if (status != ERROR_SUCCESS) {
        return fail(L"the machine's environment cannot be opened (error " +
                    std::to_wstring(status) + L")");
    }
    // PATH as it is, unexpanded; a missing one is an empty list of the type
    // Windows gives it.
    DWORD type = REG_EXPAND_SZ;
    DWORD bytes = 0;
    std::vector<wchar_t> data;
    do {
        // Rounded up: a damaged value may hold an odd number of bytes.
        data.resize((bytes + 1) / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        status = RegQueryValueExW(key.get(), L"Path", nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &bytes);
    } while (status == ERROR_MORE_DATA);
    if (status == ERROR_FILE_NOT_FOUND) {
        type = REG_EXPAND_SZ;
        bytes = 0;
    } else if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return fail(L"the machine's Path is not a text that can be edited");
    }
    std::wstring path(data.data(), bytes / sizeof(wchar_t));
    // The text up to its first zero character, as Windows reads the value.
    path.erase(std::min(path.find(L'\0'), path.size()));
    const std::wstring edited = edit(path, folder);
    if (edited == path) {
        return ERROR_SUCCESS;
    }
    if (edited.size() > kLongestPath) {
        return fail(L"the machine's Path would be longer than an environment variable may be");
    }
    status =
        RegSetValueExW(key.get(), L"Path", 0, type, reinterpret_cast<const BYTE*>(edited.c_str()),
                       static_cast<DWORD>((edited.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        return fail(L"the machine's Path cannot be written (error " + std::to_wstring(status) +
                    L")");
    }
    Log(install, std::wstring(action) + L": the machine's Path is now " + edited);
    // Explorer and new consoles take the new PATH without a new logon.
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000, nullptr);
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall AddToPath(MSIHANDLE install) {
    return EditPath(install, L"AddToPath", tavirap::PathWith);
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveFromPath(MSIHANDLE install) {
    return EditPath(install, L"RemoveFromPath", tavirap::PathWithout);
}
