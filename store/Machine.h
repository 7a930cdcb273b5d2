// What this computer has for the driver beside its settings: the COM ports it
// maps and the driver's service, as the system reports them. Reading them
// writes nothing and needs no rights. Only Windows has them; elsewhere they
// are unknown, never invented.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/SettingsStore.h"

namespace tavirap {

struct ComPort {
    std::string name;          // "COM3", as the settings name a port
    std::string friendlyName;  // the device's own, "Communications Port (COM3)"; "" if none
};

struct ComPorts {
    bool known = false;          // the system lists its ports (Windows)
    StoreResult status;          // why they could not be read
    std::vector<ComPort> ports;  // every port the system maps, in number order
    std::vector<int> reserved;   // numbers the COM Name Arbiter keeps that no port has

    // Whether a port of this computer has the name (letter case aside).
    bool Has(std::string_view name) const;
};

// The ports in HKLM\HARDWARE\DEVICEMAP\SERIALCOMM and the numbers the COM Name
// Arbiter's ComDB keeps. friendlyNames: also ask the Ports device class for
// the devices' names (SetupAPI, loaded for it).
ComPorts ReadComPorts(bool friendlyNames);

struct DriverService {
    bool known = false;  // the system has services (Windows)
    StoreResult status;  // why the service manager could not be asked
    bool installed = false;
    std::string state;      // "running", "stopped", "start pending", ...
    std::string startType;  // "boot", "system", "automatic", "manual", "disabled"
};

// The TAVIRPORT service, asked with query rights only.
DriverService ReadDriverService();

// What the driver makes of a change to its settings, in one sentence.
std::string DriverSentence(const DriverService& driver);

}  // namespace tavirap
