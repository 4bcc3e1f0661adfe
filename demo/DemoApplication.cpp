#include "demo/DemoApplication.h"

#include <exception>

#include <QMessageBox>

namespace {

TDemoErrorSink& installedSink() {
    static TDemoErrorSink sink;
    return sink;
}

void report(const QString& text) {
    if (installedSink()) {
        installedSink()(text);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Paginor Demo"), text);
}

} // namespace

TDemoApplication::TDemoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TDemoApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverReportingErrors([&] { return QApplication::notify(receiver, event); });
}

bool DeliverReportingErrors(const std::function<bool()>& deliver) {
    try {
        return deliver();
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QStringLiteral("Unknown error"));
    }
    return false;
}

TDemoErrorSink SetDemoErrorSink(TDemoErrorSink sink) {
    TDemoErrorSink previous = std::move(installedSink());
    installedSink() = std::move(sink);
    return previous;
}
