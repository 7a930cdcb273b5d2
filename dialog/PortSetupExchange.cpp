#include "dialog/PortSetupExchange.h"

#include "dialog/PortSetupForm.h"

namespace tavirap {

void ExchangeFields(CDataExchange& dx, PortSettings& s) {
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowAddressIds[row], s.rowAddress[row]);
        DDV_MinMaxInt(dx, s.rowAddress[row], 0, 64);
    }
    DDX_CBString(dx, IDC_BAUD_RATE, s.baudRate);
    DDV_MaxChars(dx, s.baudRate, 12);
    DDX_CBString(dx, IDC_DATA_BITS, s.dataBits);
    DDV_MaxChars(dx, s.dataBits, 2);
    DDX_CBIndex(dx, IDC_TOTAL_PORTS, s.totalIndex);
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowLabelIds[row], s.rowLabel[row]);
    }
    DDX_CBString(dx, IDC_STOP_BITS, s.stopBits);
    // The driver's key holds stop bits in 2 bytes; a longer text ("1.5")
    // would be cut short when stored, so it is refused here instead.
    DDV_MaxChars(dx, s.stopBits, 2);
    DDX_CBString(dx, IDC_MAIN_PORT, s.mainPort);
    DDV_MaxChars(dx, s.mainPort, 8);
    DDX_CBString(dx, IDC_PARITY, s.parity);
    DDV_MaxChars(dx, s.parity, 22);
    DDX_CBString(dx, IDC_FLOW_CONTROL, s.flowControl);
    DDV_MaxChars(dx, s.flowControl, 16);
}

}  // namespace tavirap
