#include "printing/KpErrors.h"

#include <cstdio>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QObject>

namespace kp {

namespace {

bool hasRealDisplay() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void defaultReporter(const QString& text) {
    if (hasRealDisplay()) {
        QMessageBox::information(nullptr, QGuiApplication::applicationDisplayName(), text,
                                 QMessageBox::Ok);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

TKpErrorReporter& installed() {
    static TKpErrorReporter reporter;
    return reporter;
}

} // namespace

QString ErrorText(const QString& className, const QString& message) {
    return className + QStringLiteral(" Error...\n\n") + message;
}

void ShowError(const QString& className, const QString& message) {
    const QString text = ErrorText(className, message);
    if (installed())
        installed()(text);
    else
        defaultReporter(text);
}

void ShowError(const QObject* object, const QString& message) {
    // Messages name the class as a host wrote it, without the suite's namespace.
    QString name =
        object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("TObject");
    if (name.startsWith(QLatin1String("kp::"))) name.remove(0, 4);
    ShowError(name, message);
}

TKpErrorReporter SetErrorReporter(TKpErrorReporter reporter) {
    TKpErrorReporter previous = std::move(installed());
    installed() = std::move(reporter);
    return previous;
}

} // namespace kp
