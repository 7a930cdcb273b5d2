#include "dialog/PortSetupExchange.h"

#include "dialog/PortSetupForm.h"
#include "settings/FieldChecks.h"

namespace tavirap {

namespace {

// A combo box's text with the limit its stored value has.
void ExchangeText(CDataExchange& dx, int id, PortSettings& s, std::string PortSettings::*member) {
    DDX_CBString(dx, id, s.*member);
    DDV_MaxChars(dx, s.*member, static_cast<int>(TextFieldOf(member).limit));
}

}  // namespace

void ExchangeFields(CDataExchange& dx, PortSettings& s) {
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowAddressIds[row], s.rowAddress[row]);
        DDV_MinMaxInt(dx, s.rowAddress[row], kMinAddress, kMaxAddress);
    }
    ExchangeText(dx, IDC_BAUD_RATE, s, &PortSettings::baudRate);
    ExchangeText(dx, IDC_DATA_BITS, s, &PortSettings::dataBits);
    DDX_CBIndex(dx, IDC_TOTAL_PORTS, s.totalIndex);
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowLabelIds[row], s.rowLabel[row]);
    }
    ExchangeText(dx, IDC_STOP_BITS, s, &PortSettings::stopBits);
    ExchangeText(dx, IDC_MAIN_PORT, s, &PortSettings::mainPort);
    ExchangeText(dx, IDC_PARITY, s, &PortSettings::parity);
    ExchangeText(dx, IDC_FLOW_CONTROL, s, &PortSettings::flowControl);
}

}  // namespace tavirap
