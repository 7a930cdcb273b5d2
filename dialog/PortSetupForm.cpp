#include "dialog/PortSetupForm.h"

#include <stdexcept>

namespace tavirap {

namespace {

using K = ControlKind;

constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr std::uint32_t kStatic = kChild | SS_LEFT;
// Combo lists keep the template's height exactly, except where a list is
// shortened to a whole number of entries (no CBS_NOINTEGRALHEIGHT).
constexpr std::uint32_t kDropDown = kChild | CBS_DROPDOWN | CBS_NOINTEGRALHEIGHT | WS_TABSTOP;
constexpr std::uint32_t kAddress = kChild | ES_LEFT | ES_NUMBER | WS_BORDER | WS_TABSTOP;
constexpr std::uint32_t kGroup = kChild | BS_GROUPBOX;

DialogTemplate BuildTemplate() {
    DialogTemplate t;
    t.id = IDD_PORTSETUP;
    t.caption = "TAVIRAP";
    t.fontName = "MS Sans Serif";
    t.pointSize = 8;
    t.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    t.exStyle = WS_EX_APPWINDOW;
    t.rect = {0, 0, 298, 288};
    t.controls = {
        {1034, K::Button, kButton | BS_DEFPUSHBUTTON, 0, "SAVE", {157, 265, 50, 14}},
        {1035, K::Button, kButton, 0, "EXIT", {229, 265, 50, 14}},
        {-1, K::Static, kStatic, 0, "MAIN COM :", {20, 31, 54, 18}},
        {1001, K::ComboBox, kDropDown | CBS_UPPERCASE, 0, "", {74, 30, 56, 114}},
        {1002, K::Static, kStatic, 0, "BAUD RATE :", {20, 60, 54, 20}},
        {1003, K::ComboBox, kDropDown | CBS_UPPERCASE, WS_EX_STATICEDGE, "", {74, 60, 56, 112}},
        {-1, K::Static, kStatic, 0, "PARITY:", {20, 90, 54, 20}},
        {-1, K::Static, kStatic, 0, "DATA BITS :", {20, 121, 54, 19}},
        {-1, K::Static, kStatic, 0, "STOP BIT :", {20, 152, 54, 17}},
        {1006, K::ComboBox, kDropDown, 0, "", {74, 90, 56, 50}},
        {1008, K::ComboBox, kDropDown, 0, "", {75, 150, 55, 39}},
        {1009, K::ComboBox, kDropDown, 0, "", {74, 120, 56, 49}},
        {-1, K::GroupBox, kGroup, 0, "Main COM Configuration:", {4, 14, 150, 192}},
        {-1, K::GroupBox, kGroup, 0, "Virtual Port Address Setting:", {161, 11, 123, 211}},
        {1038, K::Static, kStatic, 0, "SERIAL1", {174, 42, 41, 20}},
        {-1, K::Static, kStatic | SS_CENTERIMAGE, 0, "    TA #", {214, 29, 39, 9}},
        {1039, K::Static, kStatic, 0, "SERIAL2", {174, 62, 40, 13}},
        {1040, K::Static, kStatic, 0, "SERIAL3", {174, 82, 40, 12}},
        {1041, K::Static, kStatic, 0, "SERIAL4", {174, 102, 40, 12}},
        {1042, K::Static, kStatic, 0, "SERIAL5", {174, 122, 36, 15}},
        {1043, K::Static, kStatic, 0, "SERIAL6", {174, 142, 40, 14}},
        {1044, K::Static, kStatic, 0, "SERIAL7", {174, 162, 40, 13}},
        {-1, K::Static, kStatic | SS_CENTERIMAGE, 0, "Total Virtual Ports :", {23, 227, 65, 18}},
        {1012,
         K::ComboBox,
         kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
         WS_EX_STATICEDGE,
         "",
         {92, 227, 48, 108}},
        {1015, K::Edit, kAddress, WS_EX_STATICEDGE, "", {215, 40, 40, 13}},
        {1017, K::Edit, kAddress, WS_EX_STATICEDGE, "", {215, 60, 40, 14}},
        {1019, K::Edit, kAddress, WS_EX_STATICEDGE, "", {214, 80, 40, 12}},
        {1021, K::Edit, kAddress, WS_EX_STATICEDGE, "", {215, 99, 40, 12}},
        {1023, K::Edit, kAddress, WS_EX_STATICEDGE, "", {214, 120, 40, 12}},
        {1024, K::Edit, kAddress, WS_EX_STATICEDGE, "", {214, 140, 40, 12}},
        {1025, K::Edit, kAddress, WS_EX_STATICEDGE, "", {214, 161, 40, 12}},
        {1026, K::Edit, kAddress, WS_EX_STATICEDGE, "", {214, 180, 40, 13}},
        {1045, K::Static, kStatic, 0, "SERIAL8", {174, 183, 40, 14}},
        {1036, K::Button, kButton | BS_CENTER, 0, "PREV PAGE", {15, 265, 50, 14}},
        {1037, K::Button, kButton | BS_CENTER, 0, "NEXT PAGE", {80, 265, 50, 14}},
        {-1, K::GroupBox, kGroup, 0, "Total Ports :", {3, 212, 149, 39}},
        {-1, K::Static, kStatic, 0, "FLOW CTL:", {19, 179, 56, 18}},
        {1060, K::ComboBox, kDropDown, 0, "", {75, 179, 55, 48}},
    };
    t.initData = EncodeInitData(PortSetupListEntries());

    // Assistive technology names each field after the label the user sees.
    const auto labelIndex = [&t](std::string_view text) -> std::size_t {
        for (std::size_t i = 0; i < t.controls.size(); ++i) {
            if (t.controls[i].kind == K::Static && t.controls[i].text == text) {
                return i;
            }
        }
        throw std::logic_error("the form has no label " + std::string(text));
    };
    t.labels = {
        {IDC_MAIN_PORT, labelIndex("MAIN COM :"), ""},
        {IDC_BAUD_RATE, labelIndex("BAUD RATE :"), ""},
        {IDC_PARITY, labelIndex("PARITY:"), ""},
        {IDC_DATA_BITS, labelIndex("DATA BITS :"), ""},
        {IDC_STOP_BITS, labelIndex("STOP BIT :"), ""},
        {IDC_TOTAL_PORTS, labelIndex("Total Virtual Ports :"), ""},
        {IDC_FLOW_CONTROL, labelIndex("FLOW CTL:"), ""},
    };
    for (int row = 0; row < 8; ++row) {
        t.labels.push_back(
            {kRowAddressIds[row], labelIndex("SERIAL" + std::to_string(row + 1)), "address"});
    }
    return t;
}

const InitRecord kListEntries[] = {
    {1001, kInitComboAddString, "COM1"},        {1001, kInitComboAddString, "COM2"},
    {1001, kInitComboAddString, "COM3"},        {1001, kInitComboAddString, "COM4"},
    {1001, kInitComboAddString, "COM5"},        {1001, kInitComboAddString, "COM6"},
    {1001, kInitComboAddString, "COM7"},        {1001, kInitComboAddString, "COM8"},
    {1001, kInitComboAddString, "COM9"},        {1003, kInitComboAddString, "600"},
    {1003, kInitComboAddString, "1200"},        {1003, kInitComboAddString, "2400"},
    {1003, kInitComboAddString, "4800"},        {1003, kInitComboAddString, "9600"},
    {1003, kInitComboAddString, "19200"},       {1003, kInitComboAddString, "38400"},
    {1003, kInitComboAddString, "57600"},       {1003, kInitComboAddString, "115200"},
    {1006, kInitComboAddString, "No Parity"},   {1006, kInitComboAddString, "Odd Parity"},
    {1006, kInitComboAddString, "Even Parity"}, {1008, kInitComboAddString, "1"},
    {1008, kInitComboAddString, "2"},           {1009, kInitComboAddString, "7"},
    {1009, kInitComboAddString, "8"},           {1012, kInitComboAddString, "2"},
    {1012, kInitComboAddString, "4"},           {1012, kInitComboAddString, "8"},
    {1012, kInitComboAddString, "16"},          {1012, kInitComboAddString, "24"},
    {1012, kInitComboAddString, "32"},          {1012, kInitComboAddString, "40"},
    {1012, kInitComboAddString, "48"},          {1012, kInitComboAddString, "56"},
    {1012, kInitComboAddString, "64"},          {1060, kInitComboAddString, "Hardware"},
    {1060, kInitComboAddString, "None"},
};

}  // namespace

std::span<const InitRecord> PortSetupListEntries() {
    return kListEntries;
}

const DialogTemplate& PortSetupTemplate() {
    static const DialogTemplate form = BuildTemplate();
    return form;
}

}  // namespace tavirap
