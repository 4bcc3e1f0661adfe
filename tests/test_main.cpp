// Shared entry point of every test executable: a headless application at 96 dpi. The tests
// of the parts that need no widgets run under a QGuiApplication, so that a widget made by
// mistake fails them.
#include <gtest/gtest.h>

#ifdef PAGINOR_TESTS_WITHOUT_WIDGETS
#include <QGuiApplication>
using TTestApplication = QGuiApplication;
#else
#include <QApplication>
using TTestApplication = QApplication;
#endif

#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"

using namespace kp;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    TTestApplication app(argc, argv);
    kp::SetScreenPixelsPerInchOverride(96);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
