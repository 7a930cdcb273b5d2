// The configuration dialog's form: template 102 with its controls and the
// lists it carries as init data.
#pragma once

#include <span>

#include "framework/DialogTemplate.h"

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

// The form, built once.
const DialogTemplate& PortSetupTemplate();

// The list entries in the order the lists show them, one record each.
std::span<const InitRecord> PortSetupListEntries();

}  // namespace tavirap
