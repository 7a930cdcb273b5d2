// main() of the Qt widget tests: a QApplication on the offscreen platform
// (unless the environment names another) and the Qt window backend.
#include <gtest/gtest.h>

#include <QApplication>

#include "framework/qt/QtBackend.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    tavirap::QtWindowBackend backend;
    return RUN_ALL_TESTS();
}
