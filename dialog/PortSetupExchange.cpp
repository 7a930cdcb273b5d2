#include "dialog/PortSetupExchange.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "dialog/PortSetupForm.h"
#include "framework/Error.h"
#include "settings/SettingsSchema.h"

namespace tavirap {

namespace {

// A stored value's field, as its row shows it, with the row's checks.
void ExchangeField(CDataExchange& dx, PortSettings& s, const FormSlot& slot) {
    const StoredRow& row = *slot.row;
    const int id = slot.Field().id;
    switch (row.form.control) {
        case FormPart::kNumberField: {
            std::int32_t& number = row.form.field(s, slot.index);
            DDX_Text(dx, id, number, ParseNumber);
            DDV_MinMaxInt(dx, number, static_cast<std::int32_t>(row.min),
                          static_cast<std::int32_t>(row.max));
            return;
        }
        case FormPart::kList:
            return DDX_CBIndex(dx, id, row.form.field(s, slot.index));
        case FormPart::kTextBox: {
            std::string& text = s.*row.member;
            DDX_CBString(dx, id, text);
            DDV_MaxChars(dx, text, static_cast<int>(row.size));
            // Beyond its length, the stored value's own check (a line break, say).
            if (std::string why = CheckText(row, text); dx.saveAndValidate && !why.empty()) {
                why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
                dx.FailWithMessage(why + ".");
            }
            return;
        }
        case FormPart::kNone:
            return;
    }
}

}  // namespace

// The fields in the order they have always been taken, so that a failing
// check leaves the record as it did and the first of two faults is the one
// told; the fields of values added since come after them.
void ExchangeFields(CDataExchange& dx, PortSettings& s) {
    const std::vector<FormSlot> slots = PortSetupFields();
    std::vector<int> taken;
    const auto take = [&](int id) {
        const auto slot =
            std::ranges::find(slots, id, [](const FormSlot& f) { return f.Field().id; });
        if (slot == slots.end()) {
            throw Error("the form has no field " + std::to_string(id));
        }
        ExchangeField(dx, s, *slot);
        taken.push_back(id);
    };
    for (int id : kRowAddressIds) {
        take(id);
    }
    take(IDC_BAUD_RATE);
    take(IDC_DATA_BITS);
    take(IDC_TOTAL_PORTS);
    for (int row = 0; row < kRowsPerPage; ++row) {
        DDX_Text(dx, kRowLabelIds[row], s.rowLabel[row]);
    }
    for (int id : {IDC_STOP_BITS, IDC_MAIN_PORT, IDC_PARITY, IDC_FLOW_CONTROL}) {
        take(id);
    }
    for (const FormSlot& slot : slots) {
        if (std::ranges::find(taken, slot.Field().id) == taken.end()) {
            ExchangeField(dx, s, slot);
        }
    }
}

}  // namespace tavirap
