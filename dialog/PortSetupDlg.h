// The configuration dialog: shows the driver's settings, pages through the 64
// port addresses and writes the key back on "SAVE".
#pragma once

#include "framework/Afx.h"
#include "settings/PortSettings.h"
#include "store/SettingsIo.h"

namespace tavirap {

class CPortSetupDlg : public CDialog {
public:
    explicit CPortSetupDlg(SettingsStore& store, CWnd* parent = nullptr);

    const PortSettings& Settings() const { return m_settings; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSave();
    void OnExit();
    void OnPrevPage();
    void OnNextPage();
    void OnSelchangeTotalPorts();

    DECLARE_MESSAGE_MAP()

private:
    // Brings the form's values in, runs the page operation and shows the
    // record again; does nothing more when a field's check fails.
    void StoreAndShow(void (*pageOperation)(PortSettings&));
    // Tells the user once, at start-up, when the settings cannot be saved.
    void ReportLoad(const LoadResult& load);

    PortSettings m_settings;
    HICON m_hIcon;
    SettingsStore& m_store;
};

}  // namespace tavirap
