#include "framework/DataExchange.h"

#include "framework/Error.h"

namespace tavirap {

CDataExchange::CDataExchange(CWnd* dialog, bool saveAndValidate)
    : saveAndValidate(saveAndValidate), dialog(dialog) {}

DialogWindow& CDataExchange::PrepareCtrl(int id) {
    DialogWindow* window = dialog->GetDialogWindow();
    if (window == nullptr) {
        throw Error("field exchange on a dialog without a window");
    }
    lastControlId = id;
    lastControlIsEdit = false;
    return *window;
}

DialogWindow& CDataExchange::PrepareEditCtrl(int id) {
    DialogWindow& window = PrepareCtrl(id);
    lastControlIsEdit = true;
    return window;
}

void CDataExchange::FailWithMessage(std::string_view message) {
    AfxGetBackend().ShowMessage(dialog->GetDialogWindow(), message, AfxGetAppName(),
                                mb::kIconExclamation | mb::kOk);
    Fail();
}

void CDataExchange::Fail() {
    DialogWindow* window = dialog->GetDialogWindow();
    if (saveAndValidate && window != nullptr && lastControlId != -1) {
        window->FocusControl(lastControlId, lastControlIsEdit);
    }
    throw CUserException{};
}

void DDX_Text(CDataExchange& dx, int id, std::int32_t& value, NumberParser parse) {
    DialogWindow& window = dx.PrepareEditCtrl(id);
    if (!dx.saveAndValidate) {
        window.SetText(id, std::to_string(value));
        return;
    }
    const std::optional<std::int64_t> parsed = parse(window.GetText(id));
    if (!parsed || *parsed < INT32_MIN || *parsed > INT32_MAX) {
        dx.FailWithMessage("Please enter an integer.");
    }
    value = static_cast<std::int32_t>(*parsed);
}

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
    DialogWindow& window = dx.PrepareEditCtrl(id);
    if (dx.saveAndValidate) {
        value = window.GetText(id);
    } else {
        window.SetText(id, value);
    }
}

void DDX_CBString(CDataExchange& dx, int id, std::string& value) {
    DialogWindow& window = dx.PrepareCtrl(id);
    if (dx.saveAndValidate) {
        value = window.GetText(id);
    } else if (window.ComboSelectString(id, value) == kComboNone) {
        window.SetText(id, value);
    }
}

void DDX_CBIndex(CDataExchange& dx, int id, std::int32_t& index) {
    DialogWindow& window = dx.PrepareCtrl(id);
    if (dx.saveAndValidate) {
        index = window.ComboGetCurSel(id);
    } else {
        window.ComboSetCurSel(id, index);
    }
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxChars) {
    if (dx.saveAndValidate && value.size() > static_cast<std::size_t>(maxChars)) {
        dx.FailWithMessage("Please enter no more than " + std::to_string(maxChars) +
                           " characters.");
    }
}

void DDV_MinMaxInt(CDataExchange& dx, std::int32_t value, std::int32_t low, std::int32_t high) {
    if (dx.saveAndValidate && (value < low || value > high)) {
        dx.FailWithMessage("Please enter an integer between " + std::to_string(low) + " and " +
                           std::to_string(high) + ".");
    }
}

}  // namespace tavirap
