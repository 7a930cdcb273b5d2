// The configuration dialog: shows the driver's settings, pages through the 64
// port addresses and writes the key back on "SAVE".
#pragma once

#include "framework/Afx.h"
#include "settings/PortSettings.h"
#include "store/SettingsIo.h"

namespace tavirap {

class CPortSetupDlg : public CDialog {
public:
    // SAVE by a user who may only read the store asks for rights through `rights`.
    CPortSetupDlg(SettingsStore& store, Elevation& rights, CWnd* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

    void OnPaint();
    IconHandle OnQueryDragIcon();
    void OnSave();
    void OnExit();
    void OnPrevPage();
    void OnNextPage();
    void OnSelchangeTotalPorts();
    void OnStartNotice();

    DECLARE_MESSAGE_MAP()

private:
    // Brings the form's values in, runs the page operation and shows the
    // record again; does nothing more when a field's check fails.
    void StoreAndShow(void (*pageOperation)(PortSettings&));
    // Reads the key into the record, at its first page.
    void ReadKey();
    // ReadKey, and shows the record.
    void Load();
    // Says how the save job run with administrator rights (cli/SaveJob.h)
    // ended, for a user who may only read the key (`stored`: its values).
    void ReportSaveWithRights(const ElevatedRun& run, const std::vector<RegValue>& stored);
    // What the user wants done about the settings another program stored
    // since this dialog read the key (`now`, in stored form): store the
    // dialog's over them, show them instead, or go back to the dialog's.
    enum class OtherChange { kStoreShown, kShowStored, kBack };
    OtherChange AskAboutOtherChange(const std::vector<RegValue>& now);
    // Shows these stored settings instead of the dialog's values.
    void ShowStored(const PortSettings& stored);

    PortSettings settings_;
    LoadResult load_;
    // The key's values as this dialog loaded or last saved them, in their
    // stored form: a SAVE over other values asks first.
    std::vector<RegValue> stored_;
    IconHandle icon_;
    SettingsStore& store_;
    Elevation& rights_;
};

}  // namespace tavirap
