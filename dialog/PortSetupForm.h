// The configuration dialog's form: template 102 with its controls and the
// lists it carries as init data. The stored values' fields, labels and lists
// come from their rows (settings/SettingsSchema.h).
#pragma once

#include <vector>

#include "framework/DialogTemplate.h"
#include "settings/SettingsSchema.h"

namespace tavirap {

inline constexpr int IDD_PORTSETUP = 102;

inline constexpr int IDC_SAVE = 1034;
inline constexpr int IDC_EXIT = 1035;
inline constexpr int IDC_PREV_PAGE = 1036;
inline constexpr int IDC_NEXT_PAGE = 1037;

// A stored value's field on the form: its row and which of the row's fields.
struct FormSlot {
    const StoredRow* row;
    int index;

    const FormField& Field() const { return row->form.fields[index]; }
};

// Every stored value's field, row by row.
std::vector<FormSlot> PortSetupFields();

// The form, built once.
const DialogTemplate& PortSetupTemplate();

// The list entries in the order the lists show them, one record each.
std::vector<InitRecord> PortSetupListEntries();

}  // namespace tavirap
