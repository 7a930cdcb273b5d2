// No system here keeps COM ports or services for the driver, which runs on
// Windows only: both stay unknown.
#include "store/Machine.h"

namespace tavirap {

ComPorts ReadComPorts(bool) {
    return {};
}

DriverService ReadDriverService() {
    return {};
}

}  // namespace tavirap
