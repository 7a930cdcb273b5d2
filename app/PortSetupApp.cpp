#include "app/PortSetupApp.h"

#include <cstdio>

#include "cli/CommandLine.h"
#include "dialog/PortSetupDlg.h"
#include "store/MachineStore.h"

namespace tavirap {

BEGIN_MESSAGE_MAP(CPortSetupApp, CWinApp)
ON_COMMAND(cmd::kHelp, &CWinApp::OnHelp)
END_MESSAGE_MAP()

namespace {

// Windows' texts end their lines with CR LF; the output is written in binary
// mode, so that an export's CR LF lines pass as they are.
std::string PlatformLines(const std::string& text) {
#ifdef _WIN32
    std::string lines;
    lines.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            lines += '\r';
        }
        lines += text[i];
    }
    return lines;
#else
    return text;
#endif
}

}  // namespace

bool CPortSetupApp::RunWithoutWindow(const std::vector<std::string>& args, int& exitCode) {
    if (args.empty()) {  // any argument makes a command-line run
        return false;
    }
    Console console;
    console.readInput = ReadStandardInput;
    const std::unique_ptr<SettingsStore> store = MakeCommandLineStore();
    exitCode = RunCommandLine(args, *store, console);
    const std::string err = PlatformLines(console.err);
    const std::string out = PlatformLines(console.out);
    std::fwrite(err.data(), 1, err.size(), stderr);
    // Output that does not arrive whole (a full disk behind a redirection) is a failed run.
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        exitCode = exitCode == kExitDone ? kExitStoreFailed : exitCode;
    }
    return true;
}

bool CPortSetupApp::InitInstance() {
    const std::unique_ptr<SettingsStore> store = MakeMachineStore();
    // The save job's own program, and no other, runs with administrator rights.
#ifdef _WIN32
    const std::unique_ptr<Elevation> rights = MakeElevation("tavirap-save.exe", {});
#else
    const std::unique_ptr<Elevation> rights = MakeElevation(TAVIRAP_SAVE_PROGRAM, {});
#endif
    CPortSetupDlg dlg(*store, *rights);
    mainWnd = &dlg;
    dlg.DoModal();
    mainWnd = nullptr;

    // The dialog has closed: end the application rather than start its
    // message loop.
    return false;
}

// The one application object.
CPortSetupApp theApp;

}  // namespace tavirap
