#include "dialog/PortSetupDlg.h"

#include "dialog/PortSetupExchange.h"
#include "dialog/PortSetupForm.h"
#include "settings/PortPages.h"
#include "store/SettingsIo.h"

namespace tavirap {

namespace {

constexpr int kIconResource = 128;
// Posted at start, so that a notice about the settings shows over the dialog.
constexpr UINT ID_START_NOTICE = 0x8001;

constexpr const char* kChangedByOther =
    "The TAVIRPORT driver's settings were changed by another program after this dialog opened. "
    "Replace them with the values shown?";

}  // namespace

BEGIN_MESSAGE_MAP(CPortSetupDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_SAVE, &CPortSetupDlg::OnSave)
ON_BN_CLICKED(IDC_EXIT, &CPortSetupDlg::OnExit)
ON_BN_CLICKED(IDC_PREV_PAGE, &CPortSetupDlg::OnPrevPage)
ON_BN_CLICKED(IDC_NEXT_PAGE, &CPortSetupDlg::OnNextPage)
ON_CBN_SELCHANGE(IDC_TOTAL_PORTS, &CPortSetupDlg::OnSelchangeTotalPorts)
ON_COMMAND(ID_START_NOTICE, &CPortSetupDlg::OnStartNotice)
END_MESSAGE_MAP()

CPortSetupDlg::CPortSetupDlg(SettingsStore& store, CWnd* parent)
    : CDialog(PortSetupTemplate(), parent),
      m_hIcon(AfxGetApp()->LoadIconResource(kIconResource)),
      m_store(store) {}

void CPortSetupDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    ExchangeFields(dx, m_settings);
}

bool CPortSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    Load();
    if (m_load.readOnly && !m_load.unreadable) {
        m_window->MarkNeedsRights(IDC_SAVE, "Saving asks for administrator rights.");
    }
    PostCommand(ID_START_NOTICE);
    return true;  // the focus goes to the first tab stop, "SAVE"
}

void CPortSetupDlg::Load() {
    m_load = LoadSettings(m_store, m_settings);
    m_stored = StoredValues(m_store, m_settings);
    ShowPage(m_settings);
    UpdateData(false);
}

// Once, over the dialog, when the settings cannot simply be saved.
void CPortSetupDlg::OnStartNotice() {
    std::string text;
    if (m_load.unreadable) {
        text = "The TAVIRPORT driver's settings could not be read:\n" +
               m_load.readOnlyReason.Text() +
               "\n\nThe dialog shows the defaults, and nothing will be saved.";
    } else if (m_load.readOnly) {
        text = "You may view the TAVIRPORT driver's settings but not change them:\n" +
               m_load.readOnlyReason.Text() +
               "\n\nSAVE will ask for administrator rights to store your changes.";
    } else if (!m_load.saveStatus.Ok()) {
        text = "The TAVIRPORT driver's settings could not be written back:\n" +
               m_load.saveStatus.Text();
    } else {
        return;
    }
    ShowMessage(text, {}, mb::kIconExclamation | mb::kOk);
}

void CPortSetupDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    // Minimised: the icon, centred in the client area.
    CPaintDC dc(this);
    Send(wm::kIconEraseBkgnd, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(sm::kCxIcon);
    const int cyIcon = GetSystemMetrics(sm::kCyIcon);
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
    if (m_load.unreadable) {
        // The defaults stand in for settings that could not be read; saving
        // them would replace the driver's settings with them.
        ShowMessage(
            "The settings were not saved: the TAVIRPORT driver's settings could not be "
            "read when this dialog opened, so it shows the defaults.\n\n" +
                m_load.readOnlyReason.Text() + "\n\nRepair the file, then open the dialog again.",
            {}, mb::kIconExclamation | mb::kOk);
        return;
    }
    if (m_load.readOnly) {
        SaveWithRights();
        return;
    }
    for (;;) {
        bool changed = false;
        const StoreResult saved = SaveUnlessChanged(m_store, m_settings, m_stored, changed);
        if (!saved.Ok()) {
            // The dialog stays open with the user's values, so nothing is lost.
            ShowMessage("The settings were not saved.\n\n" + saved.Text(), {},
                        mb::kIconExclamation | mb::kOk);
            return;
        }
        if (!changed || !ReplaceOtherChanges()) {
            return;
        }
    }
}

bool CPortSetupDlg::ReplaceOtherChanges() {
    return ShowMessage(kChangedByOther, {}, mb::kIconQuestion | mb::kYesNo) == cmd::kYes;
}

void CPortSetupDlg::SaveWithRights() {
    // Read-only here: the comparison sees what the key holds now, and the
    // import as administrator writes.
    PortSettings now;
    std::unique_ptr<SettingsKey> key;
    if (m_store.OpenKeyReadOnly(kServiceKeyPath, key).Ok()) {
        ReadSettings(*key, now);
        key.reset();
    } else {
        ResetDefaults(now);
    }
    if (StoredValues(m_store, now) != m_stored && !ReplaceOtherChanges()) {
        return;
    }
    const ElevatedRun run =
        AfxGetBackend().RunElevated({"--import", "-"}, ExportSettings(m_store, m_settings));
    std::string why;
    switch (run.outcome) {
        case ElevatedRun::Outcome::kDismissed:
            why = "the request for administrator rights was dismissed.";
            break;
        case ElevatedRun::Outcome::kNotAuthorised:
            why = "you are not authorised to change them: administrator rights were refused.";
            break;
        case ElevatedRun::Outcome::kUnavailable:
            why = "administrator rights cannot be asked for here: " + run.why;
            break;
        case ElevatedRun::Outcome::kExited:
            if (run.exitCode == 0) {
                ShowMessage("The settings were saved.", {}, mb::kIconInformation | mb::kOk);
                Load();  // what the driver now has, as stored
                return;
            }
            why = run.exitCode == 1 ? "the values were refused.\n\n" + run.why
                                    : "they could not be written.\n\n" + run.why;
            break;
    }
    // The dialog stays open with the user's values, so nothing is lost.
    ShowMessage("The settings were not saved: " + why, {}, mb::kIconExclamation | mb::kOk);
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
