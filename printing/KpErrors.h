#pragma once
// Error reports of the printer and the content printers: the reporting object's class name,
// " Error...", two line breaks and the message. The library never opens a dialog of its own:
// reports go to the reporter the host installed (a GUI host shows a message box there), or
// else to Qt's warning output. Operations that can fail also tell their caller (TKpResult).
#include "paginor/KpExport.h"

#include <functional>

#include <QString>
#include <QStringList>

class QObject;

namespace kp {

// Receives the whole report text.
using TKpErrorReporter = std::function<void(const QString& text)>;

// The report text for an object of the given class.
PAGINOR_EXPORT QString ErrorText(const QString& className, const QString& message);

// Reports through the installed reporter; nothing is raised.
PAGINOR_EXPORT void ShowError(const QString& className, const QString& message);
PAGINOR_EXPORT void ShowError(const QObject* object, const QString& message);

// Installs a reporter (an empty one restores the default) and returns the previous one.
// The default writes the report as a Qt warning (qWarning), which a host's message handler
// may take; it never blocks.
PAGINOR_EXPORT TKpErrorReporter SetErrorReporter(TKpErrorReporter reporter);

// What an operation that can fail (a print job, a PDF export) tells its caller: no error when
// it succeeded, else the reason, as the message the report carried.
struct PAGINOR_EXPORT TKpResult {
    QString Error;
    bool Ok() const { return Error.isEmpty(); }
    explicit operator bool() const { return Ok(); }
};

// Keeps, besides reporting them as usual, the messages of every report made while it lives
// (on this thread) and no inner capture does, so that an operation can hand its failures back
// to its caller.
class PAGINOR_EXPORT TKpErrorCapture {
public:
    TKpErrorCapture();
    ~TKpErrorCapture();
    TKpErrorCapture(const TKpErrorCapture&) = delete;
    TKpErrorCapture& operator=(const TKpErrorCapture&) = delete;

    const QStringList& Messages() const { return messages_; }
    // The first message as a result (none: success).
    TKpResult Result() const { return {messages_.value(0)}; }

private:
    friend void ShowError(const QString& className, const QString& message);
    TKpErrorCapture* outer_;
    QStringList messages_;
};

} // namespace kp
