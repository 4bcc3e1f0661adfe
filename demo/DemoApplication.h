#pragma once
// The demo's application object. Errors raised by a handler (a document that cannot be read,
// say) must not cross Qt's event loop: every event is delivered through one place that
// catches them and shows the error text in a message box, and the program carries on.
#include <functional>

#include <QApplication>
#include <QString>

class TDemoApplication : public QApplication {
public:
    TDemoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs deliver and returns its result; an exception it raises is reported and gives false.
bool DeliverReportingErrors(const std::function<bool()>& deliver);

// A slot that reports what its handler raises where it is raised: an error never unwinds
// through Qt's signal and event delivery, which does not clean up after itself on the way.
template <typename Handler> auto Reporting(Handler handler) {
    return [handler = std::move(handler)] {
        DeliverReportingErrors([&] {
            handler();
            return true;
        });
    };
}

// Where reported errors go: by default a message box with the error text. Unattended runs
// and tests install their own; an empty one restores the default. Returns the previous one.
using TDemoErrorSink = std::function<void(const QString& text)>;
TDemoErrorSink SetDemoErrorSink(TDemoErrorSink sink);
