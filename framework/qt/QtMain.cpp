// The program's entry on Qt; the application object does the rest.
#include <QApplication>
#include <algorithm>
#include <cstdio>

#include "framework/qt/QtBackend.h"

namespace tavirap {

namespace {

// The platforms Qt would try, each with what it needs to open windows; the
// others (offscreen, vnc, eglfs...) need nothing that can be missing here.
struct DisplayNeed {
    const char* platform;
    const char* variables[2];
};
constexpr DisplayNeed kDisplayNeeds[] = {
    {"xcb", {"DISPLAY", nullptr}},
    {"wayland", {"WAYLAND_DISPLAY", "WAYLAND_SOCKET"}},
};

// Whether one of the platforms asked for (QT_QPA_PLATFORM, or Qt's default)
// has a display to connect to. Qt itself aborts the process when none has.
bool HasDisplay() {
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("xcb;wayland"));
    for (const QString& platform : asked.split(u';', Qt::SkipEmptyParts)) {
        const QString name = platform.section(u':', 0, 0);
        const auto need = std::ranges::find_if(
            kDisplayNeeds, [&](const DisplayNeed& n) { return name == QLatin1String(n.platform); });
        if (need == std::end(kDisplayNeeds)) {
            return true;
        }
        for (const char* variable : need->variables) {
            if (variable != nullptr && !qEnvironmentVariableIsEmpty(variable)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int TavirapMain(int argc, char** argv) {
    if (int exitCode = 0; AfxRunWithoutWindow(argc, argv, exitCode)) {
        return exitCode;
    }
    if (!HasDisplay()) {
        std::fputs(
            "tavirap: there is no display to open the settings dialog on (neither DISPLAY nor\n"
            "WAYLAND_DISPLAY is set). The command line needs none: 'tavirap --get' prints\n"
            "the settings; see 'tavirap --help'.\n",
            stderr);
        return 2;
    }
    QApplication application(argc, argv);
    QtWindowBackend backend;
    return AfxWinMain();
}

}  // namespace tavirap

int main(int argc, char** argv) {
    return tavirap::TavirapMain(argc, argv);
}
