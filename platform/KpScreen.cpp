#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace kp {

namespace {
int screenOverride = 0;
}

void SetScreenPixelsPerInchOverride(int ppi) {
    screenOverride = ppi > 0 ? ppi : 0;
}

int ScreenPixelsPerInch() {
    if (screenOverride > 0) return screenOverride;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const int dpi = qRound(screen->logicalDotsPerInchX());
            if (dpi > 0) return dpi;
        }
    }
    return 96;
}

void ProcessPendingMessages() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

} // namespace kp
