#include "dialog/PortSetupForm.h"

#include <algorithm>

#include "framework/Error.h"
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

DialogRect RectOf(const FormRect& r) {
    return {r.x, r.y, r.cx, r.cy};
}

const FormSlot& SlotOf(int id) {
    static const std::vector<FormSlot> slots = PortSetupFields();
    for (const FormSlot& slot : slots) {
        if (slot.Field().id == id) {
            return slot;
        }
    }
    throw Error("the form has no field " + std::to_string(id));
}

DialogControl LabelOf(const FormSlot& slot) {
    const FormField& f = slot.Field();
    const std::uint32_t style = kStatic | (slot.row->form.centredLabel ? ss::kCenterImage : 0);
    return {f.labelId, K::Static, style, 0, f.label, RectOf(f.labelRect)};
}

DialogControl BoxOf(const FormSlot& slot) {
    const FormPart& form = slot.row->form;
    // The control for each way of showing a value, before the row's own touches.
    struct Shown {
        ControlKind kind;
        std::uint32_t style;
    };
    static constexpr Shown kShown[] = {
        {K::Static, kStatic},
        {K::Edit, kAddress},
        {K::ComboBox, kChild | cbs::kDropDownList | ws::kVScroll | ws::kTabStop},
        {K::ComboBox, kDropDown},
    };
    const Shown& shown = kShown[form.control];
    return {slot.Field().id,
            shown.kind,
            shown.style | (form.upperCase ? cbs::kUpperCase : 0),
            form.sunken ? ws::kExStaticEdge : 0u,
            "",
            RectOf(slot.Field().rect)};
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
    const auto label = [](int id) { return LabelOf(SlotOf(id)); };
    const auto box = [](int id) { return BoxOf(SlotOf(id)); };
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
        label(kRowAddressIds[0]),
        {-1, K::Static, kStatic | ss::kCenterImage, 0, "    TA #", {214, 29, 39, 9}},
        label(kRowAddressIds[1]),
        label(kRowAddressIds[2]),
        label(kRowAddressIds[3]),
        label(kRowAddressIds[4]),
        label(kRowAddressIds[5]),
        label(kRowAddressIds[6]),
        label(IDC_TOTAL_PORTS),
        box(IDC_TOTAL_PORTS),
        box(kRowAddressIds[0]),
        box(kRowAddressIds[1]),
        box(kRowAddressIds[2]),
        box(kRowAddressIds[3]),
        box(kRowAddressIds[4]),
        box(kRowAddressIds[5]),
        box(kRowAddressIds[6]),
        box(kRowAddressIds[7]),
        label(kRowAddressIds[7]),
        {IDC_PREV_PAGE, K::Button, kButton | bs::kCenter, 0, "PREV PAGE", {15, 265, 50, 14}},
        {IDC_NEXT_PAGE, K::Button, kButton | bs::kCenter, 0, "NEXT PAGE", {80, 265, 50, 14}},
        {-1, K::GroupBox, kGroup, 0, "Total Ports :", {3, 212, 149, 39}},
    };
    // The fields placed nowhere above come last, each label before its field.
    for (const FormSlot& slot : PortSetupFields()) {
        if (t.FindControl(slot.Field().id) == nullptr) {
            t.controls.push_back(LabelOf(slot));
            t.controls.push_back(BoxOf(slot));
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
        throw Error("the form has no label " + std::string(text));
    };
    for (const FormSlot& slot : PortSetupFields()) {
        t.labels.push_back(
            {slot.Field().id, labelIndex(slot.Field().label), slot.row->form.nameSuffix});
    }
    return t;
}

}  // namespace

std::vector<FormSlot> PortSetupFields() {
    std::vector<FormSlot> slots;
    for (const StoredRow& row : StoredRows()) {
        for (int i = 0; i < static_cast<int>(row.form.fields.size()); ++i) {
            slots.push_back({&row, i});
        }
    }
    return slots;
}

std::vector<InitRecord> PortSetupListEntries() {
    // The lists in the order of their ids.
    std::vector<std::pair<int, const std::vector<std::string>*>> lists;
    for (const FormSlot& slot : PortSetupFields()) {
        if (!slot.row->entries.empty()) {
            lists.emplace_back(slot.Field().id, &slot.row->entries);
        }
    }
    std::ranges::sort(lists, {}, &std::pair<int, const std::vector<std::string>*>::first);
    std::vector<InitRecord> records;
    for (const auto& [id, entries] : lists) {
        for (const std::string& entry : *entries) {
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
