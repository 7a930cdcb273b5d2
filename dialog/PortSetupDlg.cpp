#include "dialog/PortSetupDlg.h"

#include "dialog/PortSetupExchange.h"
#include "dialog/PortSetupForm.h"
#include "settings/PortPages.h"

namespace tavirap {

namespace {

constexpr int kIconResource = 128;

}  // namespace

BEGIN_MESSAGE_MAP(CPortSetupDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_SAVE, &CPortSetupDlg::OnSave)
ON_BN_CLICKED(IDC_EXIT, &CPortSetupDlg::OnExit)
ON_BN_CLICKED(IDC_PREV_PAGE, &CPortSetupDlg::OnPrevPage)
ON_BN_CLICKED(IDC_NEXT_PAGE, &CPortSetupDlg::OnNextPage)
ON_CBN_SELCHANGE(IDC_TOTAL_PORTS, &CPortSetupDlg::OnSelchangeTotalPorts)
END_MESSAGE_MAP()

CPortSetupDlg::CPortSetupDlg(SettingsStore& store, CWnd* parent)
    : CDialog(PortSetupTemplate(), parent),
      m_hIcon(AfxGetApp()->LoadIcon(kIconResource)),
      m_store(store) {}

void CPortSetupDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    ExchangeFields(dx, m_settings);
}

bool CPortSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    const LoadResult load = LoadSettings(m_store, m_settings);
    ShowPage(m_settings);
    UpdateData(false);
    ReportLoad(load);
    return true;  // the focus goes to the first tab stop, "SAVE"
}

void CPortSetupDlg::ReportLoad(const LoadResult& load) {
    std::string text;
    if (load.readOnly && load.defaultsShown) {
        text = "The TAVIRPORT driver's settings could not be read:\n" + load.readOnlyReason +
               "\n\nThe dialog shows the defaults, and nothing will be saved.";
    } else if (load.readOnly) {
        text = "You may view the TAVIRPORT driver's settings but not change them:\n" +
               load.readOnlyReason + "\n\nSaving needs administrator rights.";
    } else if (load.saveStatus != status::kSuccess) {
        text = "The TAVIRPORT driver's settings could not be written back:\n" +
               m_store.Explain(load.saveStatus);
    } else {
        return;
    }
    MessageBox(text, {}, MB_ICONEXCLAMATION | MB_OK);
}

void CPortSetupDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    // Minimised: the icon, centred in the client area.
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CPortSetupDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CPortSetupDlg::OnSave() {
    if (!UpdateData(true)) {
        return;
    }
    StorePage(m_settings);
    const Status saved = SaveSettings(m_store, m_settings);
    if (saved != status::kSuccess) {
        // The dialog stays open with the user's values, so nothing is lost.
        MessageBox("The settings were not saved.\n\n" + m_store.Explain(saved), {},
                   MB_ICONEXCLAMATION | MB_OK);
    }
}

void CPortSetupDlg::OnExit() {
    DestroyWindow();
}

void CPortSetupDlg::StoreAndShow(void (*pageOperation)(PortSettings&)) {
    if (!UpdateData(true)) {
        return;
    }
    pageOperation(m_settings);
    UpdateData(false);
}

void CPortSetupDlg::OnPrevPage() {
    StoreAndShow(PrevPage);
}

void CPortSetupDlg::OnNextPage() {
    StoreAndShow(NextPage);
}

void CPortSetupDlg::OnSelchangeTotalPorts() {
    StoreAndShow(ChangeTotal);
}

}  // namespace tavirap
