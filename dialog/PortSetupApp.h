// The application: shows the configuration dialog once, then ends.
#pragma once

#include "framework/Afx.h"

namespace tavirap {

class CPortSetupApp : public CWinApp {
public:
    CPortSetupApp();

    bool InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

}  // namespace tavirap
