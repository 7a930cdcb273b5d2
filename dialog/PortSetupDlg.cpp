#include "dialog/PortSetupDlg.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "cli/ShellCommand.h"
#include "cli/ValueText.h"
#include "dialog/PortSetupExchange.h"
#include "dialog/PortSetupForm.h"
#include "settings/PortPages.h"
#include "settings/SettingsSchema.h"
#include "store/ExitCode.h"
#include "store/Machine.h"
#include "store/SettingsIo.h"

namespace tavirap {

namespace {

constexpr int kIconResource = 128;
// Posted at start, so that a notice about the settings shows over the dialog.
constexpr UINT ID_START_NOTICE = 0x8001;

// The differences listed in the question; more would not fit on the screen.
constexpr std::size_t kDifferencesShown = 10;

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

CPortSetupDlg::CPortSetupDlg(SettingsStore& store, Elevation& rights, CWnd* parent)
    : CDialog(PortSetupTemplate(), parent),
      icon_(AfxGetApp()->LoadIconResource(kIconResource)),
      store_(store),
      rights_(rights) {}

void CPortSetupDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    ExchangeFields(dx, settings_);
}

bool CPortSetupDlg::OnInitDialog() {
    // Read before the base class fills the lists and shows the record, so
    // that its one exchange shows the stored values: each exchange sets every
    // control's text, a good part of the start.
    ReadKey();
    CDialog::OnInitDialog();
    // The computer's own ports that the list lacks (COM10 and up), after its
    // entries, in number order; the field takes any name all the same.
    const std::vector<std::string>& listed = FindSchemaValue("TRxPort")->row->entries;
    for (const ComPort& port : ReadComPorts(false).ports) {
        if (std::ranges::none_of(listed,
                                 [&](const auto& entry) { return SameName(entry, port.name); })) {
            window_->ComboAddString(IDC_MAIN_PORT, port.name);
        }
    }
    SetIcon(icon_, true);
    SetIcon(icon_, false);
    if (load_.readOnly && !load_.unreadable) {
        window_->MarkNeedsRights(IDC_SAVE, "Saving asks for administrator rights.");
    }
    PostCommand(ID_START_NOTICE);
    return true;  // the focus goes to the first tab stop, "SAVE"
}

void CPortSetupDlg::ReadKey() {
    load_ = LoadSettings(store_, settings_);
    stored_ = StoredValues(store_, settings_);
    ShowPage(settings_);
}

void CPortSetupDlg::Load() {
    ReadKey();
    UpdateData(false);
}

// Once, over the dialog, when the settings cannot simply be saved.
void CPortSetupDlg::OnStartNotice() {
    std::string text;
    if (load_.unreadable) {
        text = "The TAVIRPORT driver's settings could not be read:\n" +
               load_.readOnlyReason.Text() +
               "\n\nThe dialog shows the defaults, and nothing will be saved.";
    } else if (load_.readOnly && !rights_.CanAsk()) {
        // Where rights can be asked for, SAVE asks; the shield and its tip say so.
        text = "You may view the TAVIRPORT driver's settings but not change them:\n" +
               load_.readOnlyReason.Text() +
               "\n\nAdministrator rights cannot be asked for here: SAVE will show the "
               "command that stores your changes from a terminal.";
    } else if (!load_.saveStatus.Ok()) {
        text = "The TAVIRPORT driver's settings could not be written back:\n" +
               load_.saveStatus.Text();
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
    dc.DrawIcon(x, y, icon_);
}

IconHandle CPortSetupDlg::OnQueryDragIcon() {
    return icon_;
}

void CPortSetupDlg::OnSave() {
    if (!UpdateData(true)) {
        return;
    }
    StorePage(settings_);
    if (load_.unreadable) {
        // The defaults stand in for settings that could not be read; saving
        // them would replace the driver's settings with them.
        ShowMessage(
            "The settings were not saved: the TAVIRPORT driver's settings could not be "
            "read when this dialog opened, so it shows the defaults.\n\n" +
                load_.readOnlyReason.Text() + "\n\nRepair the file, then open the dialog again.",
            {}, mb::kIconExclamation | mb::kOk);
        return;
    }
    // One test of another program's change, the store's: SaveChanges compares
    // the key with what this dialog read (for a user who may only read it, as
    // a dry run before rights are asked for; the job compares again under
    // its lock, and ends with kExitChanged when the key changed in between).
    std::vector<RegValue> expected = stored_;
    ElevatedRun run;
    bool jobSawChange = false;
    for (;;) {
        const SaveOutcome saved = SaveChanges(store_, {[this](PortSettings& s) { s = settings_; },
                                                       Fingerprint(expected), load_.readOnly});
        if (!saved.status.Ok()) {
            // The dialog stays open with the user's values, so nothing is lost.
            ShowMessage("The settings were not saved.\n\n" + saved.status.Text(), {},
                        mb::kIconExclamation | mb::kOk);
            return;
        }
        std::vector<RegValue> now = StoredValues(store_, saved.stored);
        if (saved.otherChange) {
            switch (AskAboutOtherChange(now)) {
                case OtherChange::kStoreShown:
                    expected = std::move(now);
                    jobSawChange = false;
                    continue;
                case OtherChange::kShowStored:
                    ShowStored(saved.stored);
                    return;
                case OtherChange::kBack:
                    return;
            }
        }
        if (!load_.readOnly) {
            stored_ = std::move(now);
            return;
        }
        // A change the job saw and this user cannot: said as the job said it.
        if (!jobSawChange) {
            run = rights_.Run({Fingerprint(expected)}, ExportSettings(store_, settings_));
            jobSawChange =
                run.outcome == ElevatedRun::Outcome::kExited && run.exitCode == kExitChanged;
            if (jobSawChange) {
                continue;  // asked about above, where this user can see it
            }
        }
        ReportSaveWithRights(run, expected);
        return;
    }
}

CPortSetupDlg::OtherChange CPortSetupDlg::AskAboutOtherChange(const std::vector<RegValue>& now) {
    const std::vector<ValueChange> differences =
        DifferentValues(now, StoredValues(store_, settings_));
    std::string list;
    for (std::size_t i = 0; i < differences.size() && i < kDifferencesShown; ++i) {
        const ValueChange& d = differences[i];
        list += d.name + ": stored " + ShownBefore(d) + ", here " + ShownValue(d.after) + "\n";
    }
    if (differences.size() > kDifferencesShown) {
        list += "and " + std::to_string(differences.size() - kDifferencesShown) + " more\n";
    }
    const std::string text =
        "The TAVIRPORT driver's settings were changed by another program after this dialog "
        "opened:\n\n" +
        list +
        "\nYes: store the values shown over the other program's.\n"
        "No: show the stored values instead; nothing is stored.\n"
        "Cancel: go back to the values shown; nothing is stored.";
    switch (ShowMessage(text, {}, mb::kIconQuestion | mb::kYesNoCancel | mb::kDefButton3)) {
        case cmd::kYes:
            return OtherChange::kStoreShown;
        case cmd::kNo:
            return OtherChange::kShowStored;
        default:
            return OtherChange::kBack;
    }
}

void CPortSetupDlg::ShowStored(const PortSettings& stored) {
    settings_ = stored;
    stored_ = StoredValues(store_, settings_);
    ShowPage(settings_);
    UpdateData(false);
}

void CPortSetupDlg::ReportSaveWithRights(const ElevatedRun& run,
                                         const std::vector<RegValue>& stored) {
    std::string why;
    switch (run.outcome) {
        case ElevatedRun::Outcome::kDismissed:
            why = "the request for administrator rights was dismissed.";
            break;
        case ElevatedRun::Outcome::kNotAuthorised:
            why = "you are not authorised to change them: administrator rights were refused.";
            break;
        case ElevatedRun::Outcome::kUnavailable: {
            const ShellCommand command = SetCommand(stored, StoredValues(store_, settings_));
            why = "administrator rights cannot be asked for here: " + run.why + "\n\n" +
                  (command.command.empty()
                       ? command.why
                       : std::string("To store these values, an administrator can run this ") +
                             kShellCommandWhere + ":\n\n" + command.command);
            break;
        }
        case ElevatedRun::Outcome::kExited:
            if (run.exitCode == kExitDone) {
                ShowMessage("The settings were saved.", {}, mb::kIconInformation | mb::kOk);
                Load();  // what the driver now has, as stored
                return;
            }
            why = run.exitCode == kExitRefused ? "the values were refused.\n\n" + run.why
                  : run.exitCode == kExitChanged
                      ? "another program changed them meanwhile.\n\n" + run.why
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
    pageOperation(settings_);
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
