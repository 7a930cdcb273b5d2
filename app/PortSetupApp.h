// The application, above both ways in: given options, a command-line run
// for scripts; otherwise the configuration dialog once, then it ends.
#pragma once

#include "framework/Afx.h"

namespace tavirap {

class CPortSetupApp : public CWinApp {
public:
    // Options make a command-line run for scripts, without the dialog.
    bool RunWithoutWindow(const std::vector<std::string>& args, int& exitCode) override;
    bool InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

}  // namespace tavirap
