// Not a test: draws the running dialog, filled from a registry file of its
// own, into a PNG for the README (scripts/screenshot).
#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "dialog/PortSetupDlg.h"
#include "framework/qt/QtBackend.h"
#include "store/RegFileStore.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    tavirap::QtWindowBackend backend;
    tavirap::CWinApp app;

    const auto folder = std::filesystem::temp_directory_path() / "tavirap-screenshot";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "registry.reg").string();
    std::ofstream(file, std::ios::binary)
        << "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]"
           "\r\n"
           "\"MaxPort\"=dword:00000010\r\n\"BaudRate\"=\"115200\"\r\n\"TRxPort\"=\"COM3\"\r\n";
    tavirap::RegFileStore store(file);
    const auto rights =
        tavirap::MakeElevation("/nonexistent", {});  // never asked: nothing is saved
    tavirap::CPortSetupDlg dialog(store, *rights);
    dialog.Create();
    QDialog* window = tavirap::QtDialogOf(dialog);
    if (!QTest::qWaitForWindowExposed(window)) {
        return 1;
    }
    const bool saved = window->grab().save(QString::fromLocal8Bit(argv[1]));
    std::filesystem::remove_all(folder);
    return saved ? 0 : 1;
}
