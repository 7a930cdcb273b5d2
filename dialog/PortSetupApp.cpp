#include "dialog/PortSetupApp.h"

#include "dialog/PortSetupDlg.h"
#include "store/MachineStore.h"

namespace tavirap {

BEGIN_MESSAGE_MAP(CPortSetupApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CPortSetupApp::CPortSetupApp() = default;

bool CPortSetupApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();

    const std::unique_ptr<SettingsStore> store = MakeMachineStore();
    CPortSetupDlg dlg(*store);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has closed: end the application rather than start its
    // message loop.
    return false;
}

// The one application object.
CPortSetupApp theApp;

}  // namespace tavirap
