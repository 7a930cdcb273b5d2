// The configuration dialog's form: template 102 with its controls, the lists
// it carries as init data, and the stored texts it shows, one row each.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "framework/DialogTemplate.h"
#include "settings/PortSettings.h"

namespace tavirap {

inline constexpr int IDD_PORTSETUP = 102;

inline constexpr int IDC_MAIN_PORT = 1001;
inline constexpr int IDC_BAUD_RATE_LABEL = 1002;
inline constexpr int IDC_BAUD_RATE = 1003;
inline constexpr int IDC_PARITY = 1006;
inline constexpr int IDC_STOP_BITS = 1008;
inline constexpr int IDC_DATA_BITS = 1009;
inline constexpr int IDC_TOTAL_PORTS = 1012;
inline constexpr int IDC_FLOW_CONTROL = 1060;
inline constexpr int IDC_SAVE = 1034;
inline constexpr int IDC_EXIT = 1035;
inline constexpr int IDC_PREV_PAGE = 1036;
inline constexpr int IDC_NEXT_PAGE = 1037;

// The address field and the label of each of the eight rows, top row first.
inline constexpr int kRowAddressIds[] = {1015, 1017, 1019, 1021, 1023, 1024, 1025, 1026};
inline constexpr int kRowLabelIds[] = {1038, 1039, 1040, 1041, 1042, 1043, 1044, 1045};

// A stored text on the form: the drop-down combo box that shows it, the label
// that names it (for the eye and for assistive technology). Its list and its
// check come from the stored value's row (settings/SettingsSchema.h).
struct FormText {
    std::string PortSettings::*member;
    int id;
    const char* label;
    DialogRect labelRect;
    DialogRect boxRect;
    std::uint32_t boxStyle = 0;  // added to the drop-down's
    std::uint32_t boxExStyle = 0;
    int labelId = -1;
};

// The form's texts, one row each.
std::span<const FormText> PortSetupTexts();

// The form, built once.
const DialogTemplate& PortSetupTemplate();

// The list entries in the order the lists show them, one record each.
std::vector<InitRecord> PortSetupListEntries();

}  // namespace tavirap
