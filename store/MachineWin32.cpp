// The COM ports and the driver's service as Windows reports them. The service
// manager's and SetupAPI's functions are looked up when asked for, so that a
// start that never asks pays nothing for them.
#include <algorithm>
#include <memory>

#include "platform/win32/Win32Api.h"
#include "settings/SettingsSchema.h"
#include "store/Machine.h"

namespace tavirap {

namespace {

constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kArbiter = "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

Key OpenRead(const char* path, LONG& error) {
    HKEY key = nullptr;
    error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
    return Key(error == ERROR_SUCCESS ? key : nullptr);
}

// The texts of a key's values: SERIALCOMM names each port in its data.
std::vector<std::string> ValueTexts(HKEY key) {
    std::vector<std::string> texts;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[256];
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        const LONG error = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
        if (error == ERROR_NO_MORE_ITEMS) {
            return texts;
        }
        if (error == ERROR_SUCCESS && type == REG_SZ) {
            data[dataSize] = 0;
            texts.emplace_back(reinterpret_cast<const char*>(data));
        }
    }
}

// The Ports class ({4D36E978-E325-11CE-BFC1-08002BE10318}) devices' friendly
// names, by the port name each device's key gives.
void AddFriendlyNames(std::vector<ComPort>& ports) {
    static const GUID kPortsClass = {
        0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    const HMODULE setupapi = LoadLibraryA("setupapi.dll");
    const auto classDevs =
        Proc<HDEVINFO(WINAPI*)(const GUID*, PCSTR, HWND, DWORD)>(setupapi, "SetupDiGetClassDevsA");
    const auto enumDevice =
        Proc<BOOL(WINAPI*)(HDEVINFO, DWORD, PSP_DEVINFO_DATA)>(setupapi, "SetupDiEnumDeviceInfo");
    const auto openKey =
        Proc<HKEY(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, DWORD, DWORD, REGSAM)>(
            setupapi, "SetupDiOpenDevRegKey");
    const auto property =
        Proc<BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD, PDWORD)>(
            setupapi, "SetupDiGetDeviceRegistryPropertyA");
    const auto destroy = Proc<BOOL(WINAPI*)(HDEVINFO)>(setupapi, "SetupDiDestroyDeviceInfoList");
    if (!classDevs || !enumDevice || !openKey || !property || !destroy) {
        return;
    }
    const HDEVINFO devices = classDevs(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; enumDevice(devices, i, &device); ++i) {
        const HKEY opened = openKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        const Key key(opened != INVALID_HANDLE_VALUE ? opened : nullptr);
        char portName[64] = {};
        DWORD size = sizeof portName - 1;
        BYTE friendly[256] = {};
        if (key == nullptr ||
            RegQueryValueExA(key.get(), "PortName", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(portName), &size) != ERROR_SUCCESS ||
            !property(devices, &device, SPDRP_FRIENDLYNAME, nullptr, friendly, sizeof friendly - 1,
                      nullptr)) {
            continue;
        }
        for (ComPort& port : ports) {
            if (SameName(port.name, portName)) {
                port.friendlyName = reinterpret_cast<const char*>(friendly);
            }
        }
    }
    destroy(devices);
}

std::string StateName(DWORD state) {
    static constexpr std::pair<DWORD, const char*> kStates[] = {
        {SERVICE_STOPPED, "stopped"},
        {SERVICE_START_PENDING, "start pending"},
        {SERVICE_STOP_PENDING, "stop pending"},
        {SERVICE_RUNNING, "running"},
        {SERVICE_CONTINUE_PENDING, "continue pending"},
        {SERVICE_PAUSE_PENDING, "pause pending"},
        {SERVICE_PAUSED, "paused"},
    };
    for (const auto& [number, name] : kStates) {
        if (number == state) {
            return name;
        }
    }
    return "in state " + std::to_string(state);
}

std::string StartName(DWORD start) {
    static constexpr const char* kStarts[] = {"boot", "system", "automatic", "manual", "disabled"};
    return start < std::size(kStarts) ? kStarts[start] : "start type " + std::to_string(start);
}

}  // namespace

ComPorts ReadComPorts(bool friendlyNames) {
    ComPorts result;
    result.known = true;
    LONG error = ERROR_SUCCESS;
    // A computer without serial devices may have no SERIALCOMM key at all.
    if (const Key key = OpenRead(kSerialComm, error)) {
        for (std::string& name : ValueTexts(key.get())) {
            result.ports.push_back({std::move(name), ""});
        }
    } else if (error != ERROR_FILE_NOT_FOUND) {
        result.status =
            StoreResult(error, "the COM ports in HKEY_LOCAL_MACHINE\\" + std::string(kSerialComm) +
                                   " could not be read (error " + std::to_string(error) + ")");
        return result;
    }
    std::ranges::sort(result.ports, [](const ComPort& a, const ComPort& b) {
        const auto x = ComNumber(a.name);
        const auto y = ComNumber(b.name);
        return x != y ? (x == 0 ? false : y == 0 || x < y) : a.name < b.name;
    });
    if (const Key arbiter = OpenRead(kArbiter, error)) {
        BYTE bits[1024] = {};
        DWORD size = sizeof bits;
        if (RegQueryValueExA(arbiter.get(), "ComDB", nullptr, nullptr, bits, &size) ==
            ERROR_SUCCESS) {
            for (DWORD bit = 0; bit < size * 8; ++bit) {
                const int number = static_cast<int>(bit) + 1;
                if ((bits[bit / 8] >> (bit % 8) & 1) != 0 &&
                    std::ranges::none_of(result.ports, [&](const ComPort& port) {
                        return ComNumber(port.name) == number;
                    })) {
                    result.reserved.push_back(number);
                }
            }
        }
    }
    if (friendlyNames) {
        AddFriendlyNames(result.ports);
    }
    return result;
}

DriverService ReadDriverService() {
    DriverService result;
    result.known = true;
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto openManager =
        Proc<SC_HANDLE(WINAPI*)(LPCSTR, LPCSTR, DWORD)>(advapi, "OpenSCManagerA");
    const auto openService =
        Proc<SC_HANDLE(WINAPI*)(SC_HANDLE, LPCSTR, DWORD)>(advapi, "OpenServiceA");
    const auto queryStatus = Proc<BOOL(WINAPI*)(SC_HANDLE, SC_STATUS_TYPE, LPBYTE, DWORD, LPDWORD)>(
        advapi, "QueryServiceStatusEx");
    const auto queryConfig =
        Proc<BOOL(WINAPI*)(SC_HANDLE, LPQUERY_SERVICE_CONFIGA, DWORD, LPDWORD)>(
            advapi, "QueryServiceConfigA");
    const auto close = Proc<BOOL(WINAPI*)(SC_HANDLE)>(advapi, "CloseServiceHandle");
    const auto failed = [&result](const char* what) {
        const DWORD error = GetLastError();
        result.status = StoreResult(static_cast<Status>(error),
                                    std::string("the service manager could not ") + what +
                                        " (error " + std::to_string(error) + ")");
        return result;
    };
    if (!openManager || !openService || !queryStatus || !queryConfig || !close) {
        return failed("be reached");
    }
    const SC_HANDLE manager = openManager(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) {
        return failed("be reached");
    }
    const SC_HANDLE service =
        openService(manager, "TAVIRPORT", SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG);
    if (service == nullptr) {
        const DWORD error = GetLastError();
        close(manager);
        SetLastError(error);
        return error == ERROR_SERVICE_DOES_NOT_EXIST ? result : failed("open TAVIRPORT");
    }
    result.installed = true;
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    alignas(QUERY_SERVICE_CONFIGA) BYTE config[8192];
    const auto* settings = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config);
    if (!queryStatus(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                     sizeof status, &needed) ||
        !queryConfig(service, reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config), sizeof config,
                     &needed)) {
        const DWORD error = GetLastError();
        close(service);
        close(manager);
        SetLastError(error);
        return failed("query TAVIRPORT");
    }
    result.state = StateName(status.dwCurrentState);
    result.startType = StartName(settings->dwStartType);
    close(service);
    close(manager);
    return result;
}

}  // namespace tavirap
