#include "dialog/PortSetupExchange.h"

#include "dialog/PortSetupForm.h"
#include "settings/SettingsSchema.h"

namespace tavirap {

namespace {

// The total and the row labels are taken right after this text, as they
// always have been, so that a failing check leaves the record as it did.
constexpr int kTotalAfter = IDC_DATA_BITS;

}  // namespace

void ExchangeFields(CDataExchange& dx, PortSettings& s) {
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowAddressIds[row], s.rowAddress[row]);
        DDV_MinMaxInt(dx, s.rowAddress[row], kMinAddress, kMaxAddress);
    }
    for (const FormText& text : PortSetupTexts()) {
        // A combo box's text with the size its stored value has.
        DDX_CBString(dx, text.id, s.*text.member);
        DDV_MaxChars(dx, s.*text.member, static_cast<int>(TextRowOf(text.member).size));
        if (text.id == kTotalAfter) {
            DDX_CBIndex(dx, IDC_TOTAL_PORTS, s.totalIndex);
            for (int row = 0; row < kRowsPerPage; ++row) {
                DDX_Text(dx, kRowLabelIds[row], s.rowLabel[row]);
            }
        }
    }
}

}  // namespace tavirap
