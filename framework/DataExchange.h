// Field exchange between a record and a dialog's controls, MFC style: one
// DoDataExchange lists DDX_ calls (each binds a field to a control) and
// DDV_ checks (each right after the field it checks). The same list runs in
// both directions; checks act only on the way in from the form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/Afx.h"

namespace tavirap {

// Thrown by CDataExchange::Fail to end a transfer; UpdateData catches it.
struct CUserException {};

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool saveAndValidate);

    bool saveAndValidate;
    CWnd* dialog;
    int lastControlId = -1;
    bool lastControlIsEdit = false;

    // Records the control the next check is about, and returns its window.
    DialogWindow& PrepareCtrl(int id);
    DialogWindow& PrepareEditCtrl(int id);

    // Tells the user (warning icon, OK), gives the last control the focus
    // (selecting an edit's text) and ends the transfer.
    [[noreturn]] void FailWithMessage(std::string_view message);
    [[noreturn]] void Fail();
};

// Reads a number from a field's text; null when the text is none.
using NumberParser = std::optional<std::int64_t> (*)(std::string_view text);

// Integers are shown in decimal; on the way in, a text that the dialog's
// parser refuses, or a number beyond 32 bits, fails.
void DDX_Text(CDataExchange& dx, int id, std::int32_t& value, NumberParser parse);
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// To the form: choose the first entry that begins with the text (ignoring
// case), else put the text in the edit field. From the form: the text shown.
void DDX_CBString(CDataExchange& dx, int id, std::string& value);
// To the form: choose that entry, or none when outside the list. From the
// form: the chosen index, or -1.
void DDX_CBIndex(CDataExchange& dx, int id, std::int32_t& index);

// More than maxChars bytes fails.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxChars);
void DDV_MinMaxInt(CDataExchange& dx, std::int32_t value, std::int32_t low, std::int32_t high);

}  // namespace tavirap
