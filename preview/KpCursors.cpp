#include "preview/KpCursors.h"

#include <map>

#include <QGuiApplication>
#include <QPixmap>

// The resource registration declares a function of its own and must stay outside any namespace.
static void initPaginorResources() {
    Q_INIT_RESOURCE(paginor);
}

namespace kp {

// The suite is a static library: its resource file is linked in only when something refers
// to it, so the resources are registered explicitly before first use.
void KpEnsureResources() {
    static const bool done = [] {
        initPaginorResources();
        return true;
    }();
    (void)done;
}

namespace {
std::map<int, QCursor>& cursorSlots() {
    static std::map<int, QCursor> table;
    return table;
}

bool haveGui() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}
} // namespace

QCursor KpLoadCursorResource(const char* name) {
    if (!haveGui()) return QCursor(Qt::CrossCursor);
    KpEnsureResources();
    const QPixmap pixmap(QStringLiteral(":/paginor/cursors/%1.png").arg(QLatin1String(name)));
    if (pixmap.isNull()) return QCursor(Qt::CrossCursor);
    // The lens is centred at (12, 12) of the 32 x 32 picture.
    return QCursor(pixmap, 12, 12);
}

void KpInstallCursor(int slot, const QCursor& cursor) {
    cursorSlots()[slot] = cursor;
}

bool KpHasScreenCursor(int slot) {
    return cursorSlots().count(slot) != 0;
}

QCursor KpScreenCursor(int slot) {
    const auto it = cursorSlots().find(slot);
    return it == cursorSlots().end() ? QCursor(Qt::ArrowCursor) : it->second;
}

QCursor KpZoomInCursor() {
    if (!KpHasScreenCursor(crZoomIn)) KpInstallCursor(crZoomIn, KpLoadCursorResource("ZoomIn"));
    return KpScreenCursor(crZoomIn);
}

QCursor KpZoomOutCursor() {
    if (!KpHasScreenCursor(crZoomOut)) KpInstallCursor(crZoomOut, KpLoadCursorResource("ZoomOut"));
    return KpScreenCursor(crZoomOut);
}

void KpSetScreenCursor(const QCursor& cursor) {
    if (!haveGui()) return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (cursor.shape() != Qt::ArrowCursor) QGuiApplication::setOverrideCursor(cursor);
}

} // namespace kp
