// Shows the configuration form filled from a settings record, for checking
// it by eye: "SAVE" prints what the form holds, "EXIT", Esc or the close box
// end the program, which then prints the record as it stands.
#include <iostream>

#include "dialog/PortSetupExchange.h"
#include "dialog/PortSetupForm.h"
#include "framework/qt/QtBackend.h"

namespace tavirap {
namespace {

void Print(const char* when, const PortSettings& s) {
    std::cout << when << ":";
    for (std::int32_t a : s.rowAddress) {
        std::cout << ' ' << a;
    }
    std::cout << " | baud " << s.baudRate << " | data " << s.dataBits << " | total " << s.totalIndex
              << " | stop " << s.stopBits << " | port " << s.mainPort << " | parity " << s.parity
              << " | flow " << s.flowControl << '\n';
}

class ShowFormDialog : public CDialog {
public:
    ShowFormDialog() : CDialog(PortSetupTemplate()) { ResetDefaults(settings); }
    PortSettings settings;

protected:
    void DoDataExchange(CDataExchange& dx) override { ExchangeFields(dx, settings); }
    void OnSave() {
        if (UpdateData(true)) {
            Print("SAVE", settings);
        }
    }
    void OnExit() { DestroyWindow(); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ShowFormDialog, CDialog)
ON_BN_CLICKED(IDC_SAVE, &ShowFormDialog::OnSave)
ON_BN_CLICKED(IDC_EXIT, &ShowFormDialog::OnExit)
END_MESSAGE_MAP()

class ShowFormApp : public CWinApp {
public:
    bool InitInstance() override {
        AfxEnableControlContainer();
        Enable3dControls();
        ShowFormDialog dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
        Print("closed", dialog.settings);
        return false;
    }
};

ShowFormApp theApp;

}  // namespace
}  // namespace tavirap

int main(int argc, char** argv) {
    return tavirap::TavirapMain(argc, argv);
}
