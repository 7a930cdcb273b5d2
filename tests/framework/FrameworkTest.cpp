// The toolkit-neutral framework: dialog units, init data, number parsing,
// message-map search and command routing up to the application.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/Afx.h"
#include "framework/DataExchange.h"
#include "framework/DialogUnits.h"

namespace tavirap {
namespace {

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    };
    for (const Case& k : std::vector<Case>{{298, 6, 4, 447},
                                           {5, 1, 2, 3},
                                           {-5, 1, 2, -3},
                                           {5, -1, 2, -3},
                                           {7, 13, 8, 11},  // 11.375
                                           {3, 13, 8, 5},   // 4.875
                                           {1, 1, 0, -1},
                                           {2000000000, 3, 4, 1500000000}}) {
        EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.expected) << k.a << "*" << k.b << "/" << k.c;
    }
}

TEST(DialogUnits, BaseUnitsAndRectangles) {
    // The alphabet 312 pixels wide averages 6 pixels a character.
    const DialogBaseUnits base = BaseUnitsFromFontMetrics(312, 13);
    EXPECT_EQ(base.x, 6);
    EXPECT_EQ(base.y, 13);
    EXPECT_EQ(BaseUnitsFromFontMetrics(337, 13).x, 6);  // 12.96 per pair of units
    EXPECT_EQ(BaseUnitsFromFontMetrics(338, 13).x, 7);
    EXPECT_EQ(MapDialogRect({157, 265, 50, 14}, base), (PixelRect{236, 431, 75, 23}));
}

TEST(InitData, OneRecordByteForByte) {
    const InitRecord record{1001, kInitComboAddString, "COM1"};
    const std::vector<std::uint8_t> expected = {0xE9, 0x03, 0x03, 0x04, 0x05, 0x00, 0x00, 0x00,
                                                'C',  'O',  'M',  '1',  0x00, 0x00, 0x00};
    EXPECT_EQ(EncodeInitData(std::span(&record, 1)), expected);
    EXPECT_EQ(DecodeInitData(expected), std::vector<InitRecord>{record});
    EXPECT_EQ(EncodeInitData({}), (std::vector<std::uint8_t>{0, 0}));
}

TEST(InitData, DamagedDataIsRefused) {
    const std::vector<std::uint8_t> good = {0xE9, 0x03, 0x03, 0x04, 0x02, 0x00,
                                            0x00, 0x00, 'A',  0x00, 0x00, 0x00};
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_THROW(DecodeInitData(std::span(good).first(cut)), std::invalid_argument) << cut;
    }
    std::vector<std::uint8_t> longer = good;
    longer[4] = 0x03;  // says 3 bytes: takes the end mark as text
    EXPECT_THROW(DecodeInitData(longer), std::invalid_argument);
    std::vector<std::uint8_t> noZero = good;
    noZero[9] = 'B';
    EXPECT_THROW(DecodeInitData(noZero), std::invalid_argument);
}

TEST(DataExchange, ParsesWhole32BitNumbersOnly) {
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    for (const Case& k : std::vector<Case>{{"12", true, 12},
                                           {" 12\t", true, 12},
                                           {"-5", true, -5},
                                           {"+7", true, 7},
                                           {"0", true, 0},
                                           {"2147483647", true, 2147483647},
                                           {"-2147483648", true, INT32_MIN},
                                           {"", false, 0},
                                           {"  ", false, 0},
                                           {"-", false, 0},
                                           {"+-5", false, 0},
                                           {"1a", false, 0},
                                           {"1 2", false, 0},
                                           {"0x10", false, 0},
                                           {"2147483648", false, 0},
                                           {"-2147483649", false, 0}}) {
        std::int32_t value = 99;
        EXPECT_EQ(ParseInt32(k.text, value), k.ok) << '"' << k.text << '"';
        EXPECT_EQ(value, k.ok ? k.value : 99) << '"' << k.text << '"';
    }
}

TEST(Labels, AccessibleNamesFollowTheLabelText) {
    EXPECT_EQ(AccessibleNameFromLabel("MAIN COM :", ""), "MAIN COM");
    EXPECT_EQ(AccessibleNameFromLabel("PARITY:", ""), "PARITY");
    EXPECT_EQ(AccessibleNameFromLabel("    TA #", ""), "TA #");
    EXPECT_EQ(AccessibleNameFromLabel("SERIAL17", "address"), "SERIAL17 address");
    EXPECT_TRUE(StartsWithNoCase("COM2", "com"));
    EXPECT_FALSE(StartsWithNoCase("COM", "com2"));
}

// A backend that records what the framework asks of it; no windows.
class RecordingBackend : public WindowBackend {
public:
    RecordingBackend() { AfxSetBackend(this); }
    ~RecordingBackend() override { AfxSetBackend(nullptr); }
    std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate&, CWnd&) override {
        throw std::logic_error("no windows here");
    }
    int MessageBox(DialogWindow*, std::string_view, std::string_view caption, UINT) override {
        captions.emplace_back(caption);
        return IDOK;
    }
    HICON LoadIcon(int) override { return nullptr; }
    int GetSystemMetrics(int) const override { return 32; }
    std::string ProgramName() const override { return "program"; }
    bool ShowHelp(std::uint32_t context) override {
        helpContexts.push_back(context);
        return false;
    }
    int RunMessageLoop() override { return ++loops; }
    ElevatedRun RunElevated(const std::vector<std::string>&, const std::string&) override {
        return {};
    }

    std::vector<std::string> captions;
    std::vector<std::uint32_t> helpContexts;
    int loops = 0;
};

class CTestApp : public CWinApp {
public:
    bool InitInstance() override {
        ++initCount;
        return initResult;
    }
    int initCount = 0;
    bool initResult = false;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CTestApp theApp;

const DialogTemplate kTemplate = [] {
    DialogTemplate t;
    t.id = 77;
    return t;
}();

// Two levels of maps: handlers log their names in the order they run.
class CBaseDlg : public CDialog {
public:
    CBaseDlg() : CDialog(kTemplate) {}
    std::vector<std::string> log;
    LRESULT Send(UINT message, WPARAM wParam = 0) { return WindowProc(message, wParam, 0); }

protected:
    void OnOne() { log.push_back("base one"); }
    void OnTwo() { log.push_back("base two"); }
    void OnCancel() override { log.push_back("cancel"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
ON_BN_CLICKED(11, &CBaseDlg::OnOne)
ON_BN_CLICKED(12, &CBaseDlg::OnTwo)
END_MESSAGE_MAP()

class CDerivedDlg : public CBaseDlg {
protected:
    void OnTwo() { log.push_back("derived two"); }
    void OnTwoAgain() { log.push_back("derived two again"); }
    void OnSelChange() { log.push_back("selchange"); }
    void OnPaint() { log.push_back("paint"); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(&log); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedDlg, CBaseDlg)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(12, &CDerivedDlg::OnTwo)
ON_BN_CLICKED(12, &CDerivedDlg::OnTwoAgain)
ON_CBN_SELCHANGE(12, &CDerivedDlg::OnSelChange)
END_MESSAGE_MAP()

TEST(MessageMaps, FirstEntryWinsThenTheBaseClassesMaps) {
    RecordingBackend backend;
    CDerivedDlg dialog;
    dialog.Send(WM_COMMAND, MAKEWPARAM(12, BN_CLICKED));
    dialog.Send(WM_COMMAND, MAKEWPARAM(11, BN_CLICKED));
    dialog.Send(WM_COMMAND, MAKEWPARAM(12, CBN_SELCHANGE));
    dialog.Send(WM_COMMAND, MAKEWPARAM(11, CBN_SELCHANGE));  // nobody's
    dialog.Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    dialog.Send(WM_PAINT);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"derived two", "base one", "selchange",
                                                    "cancel", "paint"}));
    EXPECT_EQ(dialog.Send(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(&dialog.log));

    CBaseDlg base;
    base.Send(WM_COMMAND, MAKEWPARAM(12, BN_CLICKED));
    base.Send(WM_PAINT);  // no entry: default handling, no handler
    EXPECT_EQ(base.log, std::vector<std::string>{"base two"});
}

TEST(MessageMaps, HelpGoesOnToTheApplicationsMap) {
    RecordingBackend backend;
    CDerivedDlg dialog;
    theApp.m_pMainWnd = &dialog;
    dialog.Send(WM_COMMAND, MAKEWPARAM(ID_HELP, CN_COMMAND));
    theApp.m_pMainWnd = nullptr;
    EXPECT_TRUE(dialog.log.empty());
    // The dialog's topic: its template id above the resource base.
    EXPECT_EQ(backend.helpContexts, std::vector<std::uint32_t>{0x20000 + 77});
}

TEST(Application, RunsInitInstanceOnceAndTheLoopOnlyWhenItSaysSo) {
    RecordingBackend backend;
    ASSERT_EQ(AfxGetApp(), &theApp);
    theApp.initCount = 0;
    theApp.initResult = false;
    EXPECT_EQ(AfxWinMain(), 0);
    EXPECT_EQ(theApp.initCount, 1);
    EXPECT_EQ(backend.loops, 0);
    EXPECT_EQ(theApp.m_pszAppName, "program");  // titles of message boxes

    theApp.initResult = true;
    EXPECT_EQ(AfxWinMain(), 1);
    EXPECT_EQ(backend.loops, 1);
    AfxMessageBox("x", MB_ICONEXCLAMATION);
    EXPECT_EQ(backend.captions, std::vector<std::string>{"program"});
}

}  // namespace
}  // namespace tavirap
