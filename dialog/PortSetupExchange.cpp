#include "dialog/PortSetupExchange.h"

#include <cctype>
#include <stdexcept>
#include <string>

#include "dialog/PortSetupForm.h"
#include "settings/SettingsSchema.h"

namespace tavirap {

namespace {

// A stored text in its combo box, with the size its stored value has.
void ExchangeText(CDataExchange& dx, PortSettings& s, int id) {
    for (const FormText& text : PortSetupTexts()) {
        if (text.id == id) {
            DDX_CBString(dx, text.id, s.*text.member);
            const StoredRow& row = TextRowOf(text.member);
            DDV_MaxChars(dx, s.*text.member, static_cast<int>(row.size));
            // Beyond its length, the stored value's own check (a line break, say).
            if (std::string why = CheckText(row, s.*text.member);
                dx.saveAndValidate && !why.empty()) {
                why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
                dx.FailWithMessage(why + ".");
            }
            return;
        }
    }
    throw std::logic_error("the form has no text " + std::to_string(id));
}

}  // namespace

// The fields in the order they have always been taken, so that a failing
// check leaves the record as it did.
void ExchangeFields(CDataExchange& dx, PortSettings& s) {
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowAddressIds[row], s.rowAddress[row]);
        DDV_MinMaxInt(dx, s.rowAddress[row], kMinAddress, kMaxAddress);
    }
    ExchangeText(dx, s, IDC_BAUD_RATE);
    ExchangeText(dx, s, IDC_DATA_BITS);
    DDX_CBIndex(dx, IDC_TOTAL_PORTS, s.totalIndex);
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowLabelIds[row], s.rowLabel[row]);
    }
    ExchangeText(dx, s, IDC_STOP_BITS);
    ExchangeText(dx, s, IDC_MAIN_PORT);
    ExchangeText(dx, s, IDC_PARITY);
    ExchangeText(dx, s, IDC_FLOW_CONTROL);
}

}  // namespace tavirap
