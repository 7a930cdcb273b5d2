#include "dialog/PortSetupForm.h"

#include <algorithm>
#include <stdexcept>

#include "settings/SettingsSchema.h"

namespace tavirap {

namespace {

using K = ControlKind;

constexpr std::uint32_t kChild = ws::kChild | ws::kVisible;
constexpr std::uint32_t kButton = kChild | bs::kPushButton | ws::kTabStop;
constexpr std::uint32_t kStatic = kChild | ss::kLeft;
// Combo lists keep the template's height exactly, except where a list is
// shortened to a whole number of entries (no cbs::kNoIntegralHeight).
constexpr std::uint32_t kDropDown = kChild | cbs::kDropDown | cbs::kNoIntegralHeight | ws::kTabStop;
constexpr std::uint32_t kAddress = kChild | es::kLeft | es::kNumber | ws::kBorder | ws::kTabStop;
constexpr std::uint32_t kGroup = kChild | bs::kGroupBox;

const std::vector<FormText>& Texts() {
    static const std::vector<FormText> texts{
        {.member = &PortSettings::baudRate,
         .id = IDC_BAUD_RATE,
         .label = "BAUD RATE :",
         .labelRect = {20, 60, 54, 20},
         .boxRect = {74, 60, 56, 112},
         .boxStyle = cbs::kUpperCase,
         .boxExStyle = ws::kExStaticEdge,
         .labelId = IDC_BAUD_RATE_LABEL},
        {.member = &PortSettings::dataBits,
         .id = IDC_DATA_BITS,
         .label = "DATA BITS :",
         .labelRect = {20, 121, 54, 19},
         .boxRect = {74, 120, 56, 49}},
        {.member = &PortSettings::stopBits,
         .id = IDC_STOP_BITS,
         .label = "STOP BIT :",
         .labelRect = {20, 152, 54, 17},
         .boxRect = {75, 150, 55, 39}},
        {.member = &PortSettings::mainPort,
         .id = IDC_MAIN_PORT,
         .label = "MAIN COM :",
         .labelRect = {20, 31, 54, 18},
         .boxRect = {74, 30, 56, 114},
         .boxStyle = cbs::kUpperCase},
        {.member = &PortSettings::parity,
         .id = IDC_PARITY,
         .label = "PARITY:",
         .labelRect = {20, 90, 54, 20},
         .boxRect = {74, 90, 56, 50}},
        {.member = &PortSettings::flowControl,
         .id = IDC_FLOW_CONTROL,
         .label = "FLOW CTL:",
         .labelRect = {19, 179, 56, 18},
         .boxRect = {75, 179, 55, 48}},
    };
    return texts;
}

const FormText& TextOf(int id) {
    for (const FormText& text : Texts()) {
        if (text.id == id) {
            return text;
        }
    }
    throw std::logic_error("the form has no text field " + std::to_string(id));
}

DialogControl LabelOf(const FormText& text) {
    return {text.labelId, K::Static, kStatic, 0, text.label, text.labelRect};
}

DialogControl BoxOf(const FormText& text) {
    return {text.id, K::ComboBox, kDropDown | text.boxStyle, text.boxExStyle, "", text.boxRect};
}

DialogTemplate BuildTemplate() {
    DialogTemplate t;
    t.id = IDD_PORTSETUP;
    t.caption = "TAVIRAP";
    t.fontName = "MS Sans Serif";
    t.pointSize = 8;
    t.style =
        ds::kSetFont | ds::kModalFrame | ws::kPopup | ws::kVisible | ws::kCaption | ws::kSysMenu;
    t.exStyle = ws::kExAppWindow;
    t.rect = {0, 0, 298, 288};
    const auto label = [](int id) { return LabelOf(TextOf(id)); };
    const auto box = [](int id) { return BoxOf(TextOf(id)); };
    // Creation order, which is the tab order.
    t.controls = {
        {IDC_SAVE, K::Button, kButton | bs::kDefPushButton, 0, "SAVE", {157, 265, 50, 14}},
        {IDC_EXIT, K::Button, kButton, 0, "EXIT", {229, 265, 50, 14}},
        label(IDC_MAIN_PORT),
        box(IDC_MAIN_PORT),
        label(IDC_BAUD_RATE),
        box(IDC_BAUD_RATE),
        label(IDC_PARITY),
        label(IDC_DATA_BITS),
        label(IDC_STOP_BITS),
        box(IDC_PARITY),
        box(IDC_STOP_BITS),
        box(IDC_DATA_BITS),
        {-1, K::GroupBox, kGroup, 0, "Main COM Configuration:", {4, 14, 150, 192}},
        {-1, K::GroupBox, kGroup, 0, "Virtual Port Address Setting:", {161, 11, 123, 211}},
        {kRowLabelIds[0], K::Static, kStatic, 0, "SERIAL1", {174, 42, 41, 20}},
        {-1, K::Static, kStatic | ss::kCenterImage, 0, "    TA #", {214, 29, 39, 9}},
        {kRowLabelIds[1], K::Static, kStatic, 0, "SERIAL2", {174, 62, 40, 13}},
        {kRowLabelIds[2], K::Static, kStatic, 0, "SERIAL3", {174, 82, 40, 12}},
        {kRowLabelIds[3], K::Static, kStatic, 0, "SERIAL4", {174, 102, 40, 12}},
        {kRowLabelIds[4], K::Static, kStatic, 0, "SERIAL5", {174, 122, 36, 15}},
        {kRowLabelIds[5], K::Static, kStatic, 0, "SERIAL6", {174, 142, 40, 14}},
        {kRowLabelIds[6], K::Static, kStatic, 0, "SERIAL7", {174, 162, 40, 13}},
        {-1, K::Static, kStatic | ss::kCenterImage, 0, "Total Virtual Ports :", {23, 227, 65, 18}},
        {IDC_TOTAL_PORTS,
         K::ComboBox,
         kChild | cbs::kDropDownList | ws::kVScroll | ws::kTabStop,
         ws::kExStaticEdge,
         "",
         {92, 227, 48, 108}},
        {kRowAddressIds[0], K::Edit, kAddress, ws::kExStaticEdge, "", {215, 40, 40, 13}},
        {kRowAddressIds[1], K::Edit, kAddress, ws::kExStaticEdge, "", {215, 60, 40, 14}},
        {kRowAddressIds[2], K::Edit, kAddress, ws::kExStaticEdge, "", {214, 80, 40, 12}},
        {kRowAddressIds[3], K::Edit, kAddress, ws::kExStaticEdge, "", {215, 99, 40, 12}},
        {kRowAddressIds[4], K::Edit, kAddress, ws::kExStaticEdge, "", {214, 120, 40, 12}},
        {kRowAddressIds[5], K::Edit, kAddress, ws::kExStaticEdge, "", {214, 140, 40, 12}},
        {kRowAddressIds[6], K::Edit, kAddress, ws::kExStaticEdge, "", {214, 161, 40, 12}},
        {kRowAddressIds[7], K::Edit, kAddress, ws::kExStaticEdge, "", {214, 180, 40, 13}},
        {kRowLabelIds[7], K::Static, kStatic, 0, "SERIAL8", {174, 183, 40, 14}},
        {IDC_PREV_PAGE, K::Button, kButton | bs::kCenter, 0, "PREV PAGE", {15, 265, 50, 14}},
        {IDC_NEXT_PAGE, K::Button, kButton | bs::kCenter, 0, "NEXT PAGE", {80, 265, 50, 14}},
        {-1, K::GroupBox, kGroup, 0, "Total Ports :", {3, 212, 149, 39}},
    };
    // The texts placed nowhere above come last, each label before its box.
    for (const FormText& text : Texts()) {
        if (t.FindControl(text.id) == nullptr) {
            t.controls.push_back(LabelOf(text));
            t.controls.push_back(BoxOf(text));
        }
    }
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
    for (const FormText& text : Texts()) {
        t.labels.push_back({text.id, labelIndex(text.label), ""});
    }
    t.labels.push_back({IDC_TOTAL_PORTS, labelIndex("Total Virtual Ports :"), ""});
    for (int row = 0; row < kRowsPerPage; ++row) {
        t.labels.push_back({kRowAddressIds[row], labelIndex(PortLabel(row + 1)), "address"});
    }
    return t;
}

}  // namespace

std::span<const FormText> PortSetupTexts() {
    return Texts();
}

std::vector<InitRecord> PortSetupListEntries() {
    // The lists in the order of their ids: the texts' and the total's.
    std::vector<std::pair<int, std::vector<std::string>>> lists;
    for (const FormText& text : Texts()) {
        lists.emplace_back(text.id, TextRowOf(text.member).entries);
    }
    lists.emplace_back(IDC_TOTAL_PORTS, FindSchemaValue("MaxPort")->row->entries);
    std::stable_sort(lists.begin(), lists.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<InitRecord> records;
    for (const auto& [id, entries] : lists) {
        for (const std::string& entry : entries) {
            records.push_back({id, kInitComboAddString, entry});
        }
    }
    return records;
}

const DialogTemplate& PortSetupTemplate() {
    static const DialogTemplate form = BuildTemplate();
    return form;
}

}  // namespace tavirap
