#include "printing/KpErrors.h"

#include <QObject>
#include <QtGlobal>

namespace kp {

namespace {

// A library opens no dialog its host did not ask for: without a reporter the text goes where
// the host's Qt messages go.
void defaultReporter(const QString& text) {
    qWarning("%s", qUtf8Printable(text));
}

// The innermost capture of this thread.
thread_local TKpErrorCapture* innermostCapture = nullptr;

TKpErrorReporter& installed() {
    static TKpErrorReporter reporter;
    return reporter;
}

} // namespace

QString ErrorText(const QString& className, const QString& message) {
    return className + QStringLiteral(" Error...\n\n") + message;
}

TKpErrorCapture::TKpErrorCapture() : outer_(innermostCapture) {
    innermostCapture = this;
}

TKpErrorCapture::~TKpErrorCapture() {
    innermostCapture = outer_;
}

void ShowError(const QString& className, const QString& message) {
    // Only the innermost operation failed: a job that a print event of another job started
    // and that was refused is not the outer job's failure.
    if (innermostCapture) innermostCapture->messages_ << message;
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
