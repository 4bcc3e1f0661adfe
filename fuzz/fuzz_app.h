#pragma once
// The headless application every fuzz target needs before it makes a document: a
// QGuiApplication (fonts and pictures, no widgets).
#include <QGuiApplication>

#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"

using namespace kp;

inline void StartFuzzApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: tearing the application down after the fuzzer's exit handlers ran
    // crashes in Qt's post routines.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    kp::SetScreenPixelsPerInchOverride(96);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}
