// A small dialog of the framework tests' own, on a toolkit's real windows:
// FrameworkCases.cpp runs what every backend must do with it; each toolkit's
// test adds what only it has.
#pragma once

#include "framework/Afx.h"
#include "framework/DataExchange.h"

namespace tavirap::test {

inline constexpr int kGo = 10;
inline constexpr int kList = 30;
inline constexpr int kField = 40;

// GO, the default button, ends the dialog with 77.
DialogTemplate SmallTemplate(DialogRect rect, std::uint16_t listMessage = kInitComboAddString);

class CHelpApp : public CWinApp {
public:
    int helpCount = 0;
    void OnCountedHelp() {
        ++helpCount;
        OnHelp();  // no help viewer here: shows nothing
    }
    DECLARE_MESSAGE_MAP()
};

extern CHelpApp theApp;

class CSmallDlg : public CDialog {
public:
    explicit CSmallDlg(const DialogTemplate& t) : CDialog(t) {}
    int paints = 0;
    bool hadDc = false;
    int goClicks = 0;
    HICON icon = nullptr;

protected:
    void OnPaint() {
        ++paints;
        CPaintDC dc(this);
        hadDc = dc.GetSafeHdc() != nullptr;
        Default();
    }
    HCURSOR OnQueryDragIcon() { return icon; }
    void OnGo() {
        ++goClicks;
        EndDialog(77);
    }
    DECLARE_MESSAGE_MAP()
};

}  // namespace tavirap::test
