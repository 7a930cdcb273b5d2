#include "store/Machine.h"

namespace tavirap {

bool ComPorts::Has(std::string_view name) const {
    for (const ComPort& port : ports) {
        if (SameName(port.name, name)) {
            return true;
        }
    }
    return false;
}

std::string DriverSentence(const DriverService& driver) {
    if (!driver.known) {
        return "";
    }
    if (!driver.status.Ok()) {
        return "The TAVIRPORT driver's state could not be read: " + driver.status.Text();
    }
    if (!driver.installed) {
        return "The TAVIRPORT driver is not installed on this computer.";
    }
    return "The TAVIRPORT driver is " + driver.state + "; it reads these settings when it starts.";
}

}  // namespace tavirap
