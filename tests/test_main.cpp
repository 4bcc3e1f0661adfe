// Shared entry point of every test executable: a headless application at 96 dpi.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"

using namespace kp;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    kp::SetScreenPixelsPerInchOverride(96);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
