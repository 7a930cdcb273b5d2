#include "framework/DataExchange.h"

#include <charconv>
#include <stdexcept>

namespace tavirap {

CDataExchange::CDataExchange(CWnd* dialog, bool saveAndValidate)
    : saveAndValidate(saveAndValidate), dialog(dialog) {}

DialogWindow& CDataExchange::PrepareCtrl(int id) {
    DialogWindow* window = dialog->GetDialogWindow();
    if (window == nullptr) {
        throw std::logic_error("field exchange on a dialog without a window");
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

bool ParseInt32(std::string_view text, std::int32_t& value) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return false;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    // A plus sign may lead, as the C library reads numbers; from_chars takes only minus.
    const bool plus = text.front() == '+';
    if (plus) {
        text.remove_prefix(1);
    }
    if (plus && (text.empty() || text.front() < '0' || text.front() > '9')) {
        return false;
    }
    std::int32_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return false;
    }
    value = parsed;
    return true;
}

void DDX_Text(CDataExchange& dx, int id, std::int32_t& value) {
    DialogWindow& window = dx.PrepareEditCtrl(id);
    if (!dx.saveAndValidate) {
        window.SetText(id, std::to_string(value));
        return;
    }
    std::int32_t parsed = 0;
    if (!ParseInt32(window.GetText(id), parsed)) {
        dx.FailWithMessage("Please enter an integer.");
    }
    value = parsed;
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
