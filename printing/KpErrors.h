#pragma once
// Error reports of the printer and the content printers: the reporting object's class name,
// " Error...", two line breaks and the message. A GUI program shows them in a modal
// information box; tests and command-line tools install a reporter that does not block.
#include "paginor/KpExport.h"

#include <functional>

#include <QString>

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
// The default shows a message box when a GUI application with a real display runs, and
// writes to standard error otherwise.
PAGINOR_EXPORT TKpErrorReporter SetErrorReporter(TKpErrorReporter reporter);

} // namespace kp
