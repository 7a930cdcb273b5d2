#include "store/Machine.h"

#include <charconv>

namespace tavirap {

int ComNumber(std::string_view name) {
    int number = 0;
    if (name.size() < 4 || !SameName(name.substr(0, 3), "COM") || name[3] == '0') {
        return 0;
    }
    const auto [end, error] = std::from_chars(name.data() + 3, name.data() + name.size(), number);
    return error == std::errc() && end == name.data() + name.size() ? number : 0;
}

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
