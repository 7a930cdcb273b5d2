#include "framework/Afx.h"

#include "framework/DataExchange.h"
#include "framework/Error.h"

namespace tavirap {

// ---- message maps

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                            UINT id) {
    for (; map != nullptr; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage == message &&
                (message != wm::kCommand || (e->nCode == code && e->nID == id))) {
                return e;
            }
        }
    }
    return nullptr;
}

namespace {
const AFX_MSGMAP_ENTRY kNoEntries[] = {{0, 0, 0, nullptr, nullptr}};
const AFX_MSGMAP kRootMap = {nullptr, &kNoEntries[0]};
}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    return &kRootMap;
}
const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(GetMessageMap(), wm::kCommand, code, id);
    if (e == nullptr || e->pfn == nullptr) {
        return false;
    }
    (this->*e->pfn)();
    return true;
}

// ---- CWnd

CWnd::~CWnd() = default;

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage outer = current_;
    current_ = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = Default();
    }
    current_ = outer;
    return result;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == wm::kCommand) {
        return OnCommand(wParam, lParam);
    }
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(GetMessageMap(), message, 0, 0);
    if (e == nullptr) {
        return false;
    }
    if (e->pfnIcon != nullptr) {
        *result = reinterpret_cast<LRESULT>((this->*e->pfnIcon)());
    } else {
        (this->*e->pfn)();
    }
    return true;
}

// Commands no entry of the window's maps takes go on to the application's.
bool CWnd::OnCommand(WPARAM wParam, LPARAM) {
    const UINT id = LowWord(wParam);
    const UINT code = HighWord(wParam);
    if (OnCmdMsg(id, code)) {
        return true;
    }
    CWinApp* app = AfxGetApp();
    return code == notify::kCommand && app != nullptr && app->OnCmdMsg(id, code);
}

void CWnd::PostCommand(UINT id) {
    if (window_) {
        window_->PostCommand(static_cast<int>(id));
    }
}

LRESULT CWnd::Default() {
    if (window_) {
        window_->DefaultProcessing();
    }
    return 0;
}

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case wm::kSetIcon:
            return reinterpret_cast<LRESULT>(
                SetIcon(reinterpret_cast<IconHandle>(lParam), wParam == wm::kSetIconBig));
        case wm::kIconEraseBkgnd:
            if (wParam != 0) {
                reinterpret_cast<DeviceContext*>(wParam)->EraseIconBackground();
            }
            return 1;
        default:
            return WindowProc(message, wParam, lParam);
    }
}

void CWnd::DoDataExchange(CDataExchange&) {}

bool CWnd::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(dx);
    } catch (const CUserException&) {
        return false;
    }
    return true;
}

bool CWnd::DestroyWindow() {
    if (!window_) {
        return false;
    }
    window_->EndModal(-1);
    return true;
}

IconHandle CWnd::SetIcon(IconHandle icon, bool bigIcon) {
    IconHandle previous = icons_[bigIcon ? 1 : 0];
    icons_[bigIcon ? 1 : 0] = icon;
    if (window_) {
        window_->SetIcon(icon, bigIcon);
    }
    return previous;
}

bool CWnd::IsIconic() const {
    return window_ && window_->IsIconic();
}

void CWnd::GetClientRect(CRect* rect) const {
    *rect = window_ ? window_->ClientRect() : CRect{};
}

int CWnd::ShowMessage(std::string_view text, std::string_view caption, UINT type) {
    const std::string title = caption.empty() ? AfxGetAppName() : std::string(caption);
    return AfxGetBackend().ShowMessage(window_.get(), text, title, type);
}

// ---- CDialog

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(cmd::kCancel, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(const DialogTemplate& dialog, CWnd* parent) : template_(dialog), parent_(parent) {}

void CDialog::CreateWindowFromTemplate() {
    window_ = AfxGetBackend().CreateDialogWindow(template_, *this);
    const DialogRect& r = template_.rect;
    if (r.x == 0 && r.y == 0) {
        window_->CenterOnScreen();
    } else {
        const DialogBaseUnits base = window_->BaseUnits();
        window_->MoveTo(DialogUnitsToPixelsX(r.x, base), DialogUnitsToPixelsY(r.y, base));
    }
}

INT_PTR CDialog::DoModal() {
    CreateWindowFromTemplate();
    OnInitDialog();
    const int result = window_->RunModal();
    window_.reset();
    return result;
}

bool CDialog::Create() {
    CreateWindowFromTemplate();
    OnInitDialog();
    window_->Show();
    return true;
}

void CDialog::EndDialog(int result) {
    if (window_) {
        window_->EndModal(result);
    }
}

bool CDialog::OnInitDialog() {
    for (const InitRecord& r : DecodeInitData(template_.initData)) {
        if (r.message != kInitComboAddString) {
            throw Error("dialog " + std::to_string(template_.id) + ": init data message " +
                        std::to_string(r.message) + " for control " + std::to_string(r.controlId) +
                        " is not supported");
        }
        window_->ComboAddString(r.controlId, r.text);
    }
    UpdateData(false);
    return true;
}

void CDialog::OnCancel() {
    EndDialog(cmd::kCancel);
}

// ---- CWinApp

namespace {
CWinApp* g_app = nullptr;
// Help contexts of dialogs are their template ids above this base.
constexpr std::uint32_t kHelpIdBaseResource = 0x20000;
}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) : appName(appName ? appName : "") {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::Run() {
    return AfxGetBackend().RunMessageLoop();
}

IconHandle CWinApp::LoadIconResource(int resourceId) const {
    return AfxGetBackend().LoadIconResource(resourceId);
}

void CWinApp::OnHelp() {
    std::uint32_t context = 0;
    if (auto* dialog = dynamic_cast<CDialog*>(mainWnd)) {
        context = kHelpIdBaseResource + static_cast<std::uint32_t>(dialog->GetTemplate().id);
    }
    AfxGetBackend().ShowHelp(context);
}

CWinApp* AfxGetApp() {
    return g_app;
}

std::string AfxGetAppName() {
    const CWinApp* app = AfxGetApp();
    return app && !app->appName.empty() ? app->appName : AfxGetBackend().ProgramName();
}

bool CWinApp::RunWithoutWindow(const std::vector<std::string>&, int&) {
    return false;
}

bool AfxRunWithoutWindow(int argc, char** argv, int& exitCode) {
    CWinApp* app = AfxGetApp();
    return app != nullptr && argc > 1 &&
           app->RunWithoutWindow(std::vector<std::string>(argv + 1, argv + argc), exitCode);
}

int AfxWinMain() {
    try {
        CWinApp* app = AfxGetApp();
        if (app == nullptr) {
            throw Error("no application object");
        }
        if (app->appName.empty()) {
            app->appName = AfxGetBackend().ProgramName();
        }
        if (!app->InitInstance()) {
            return 0;
        }
        return app->Run();
    } catch (const std::exception& error) {
        // The program ends, but never silently.
        AfxGetBackend().ShowMessage(nullptr, error.what(), AfxGetBackend().ProgramName(),
                                    mb::kIconHand | mb::kOk);
        return 1;
    }
}

// ---- painting

CPaintDC::CPaintDC(CWnd* wnd) {
    if (DialogWindow* window = wnd->GetDialogWindow()) {
        dc_ = window->BeginPaint();
    }
}

void CPaintDC::DrawIcon(int x, int y, IconHandle icon) {
    if (dc_) {
        dc_->DrawIcon(x, y, icon);
    }
}

int GetSystemMetrics(int index) {
    return AfxGetBackend().GetSystemMetrics(index);
}

}  // namespace tavirap
