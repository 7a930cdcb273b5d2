// The configuration form on a toolkit's real controls: the form bound to a
// record, driven through the toolkit's UiDriver. FormCases.cpp holds the
// cases every toolkit runs; each toolkit's test adds what only it has.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "dialog/PortSetupExchange.h"
#include "dialog/PortSetupForm.h"
#include "tests/framework/UiDriver.h"

namespace tavirap::test {

// The form bound to a record; commands are counted by control id.
class FormDialog : public CDialog {
public:
    FormDialog() : CDialog(PortSetupTemplate()) {}

    PortSettings s;
    int transfersIn = 0;
    std::map<std::pair<UINT, int>, int> commands;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        transfersIn += dx.m_bSaveAndValidate ? 1 : 0;
        ExchangeFields(dx, s);
    }
    void OnSave() { ++commands[{BN_CLICKED, IDC_SAVE}]; }
    void OnExit() {
        ++commands[{BN_CLICKED, IDC_EXIT}];
        DestroyWindow();
    }
    void OnTotal() { ++commands[{CBN_SELCHANGE, IDC_TOTAL_PORTS}]; }

    DECLARE_MESSAGE_MAP()
};

// The form open on the defaults.
class Form : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDefaults(dialog.s);
        driver->Open();
    }
    int Count(UINT code, int id) { return dialog.commands[{code, id}]; }

    FormDialog dialog;
    std::unique_ptr<UiDriver> driver = MakeUiDriver(dialog);
};

}  // namespace tavirap::test
