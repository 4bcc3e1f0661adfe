#include "content_common.h"

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/KpLimitedRead.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"

using namespace kp;

namespace kpptool {

namespace {
// Larger inputs are not tables or address lists but mistakes.
constexpr qint64 kMaxInput = 256LL * 1024 * 1024;
} // namespace

QByteArray ReadInput(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInput(
            QStringLiteral("%1: cannot open (%2)").arg(fileName, file.errorString()).toStdString());
    QByteArray data;
    QString error;
    if (!kp::ReadLimited(file, kMaxInput, fileName, data, error)) throw EInput(error.toStdString());
    return data;
}

QString OptionValue(const QStringList& args, int& i) {
    if (i + 1 >= args.size()) throw EUsage(args[i].toStdString() + " needs a value");
    return args[++i];
}

TKpPaperSize PaperFromName(const QString& name) {
    static const struct {
        const char* name;
        TKpPaperSize size;
    } sizes[] = {{"A3", A3}, {"A4", A4}, {"A5", A5},       {"A6", A6},
                 {"B5", B5}, {"C5", C5}, {"Legal", Legal}, {"Letter", Letter}};
    for (const auto& s : sizes)
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) return s.size;
    throw EUsage("--paper takes A3, A4, A5, A6, B5, C5, Legal or Letter, not '" +
                 name.toStdString() + "'");
}

double NumberArg(const QString& text, const char* option, double low, double high) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !(v >= low && v <= high))
        throw EUsage(QStringLiteral("%1 takes a number from %2 to %3, not '%4'")
                         .arg(QLatin1String(option))
                         .arg(low)
                         .arg(high)
                         .arg(text)
                         .toStdString());
    return v;
}

void CheckOutputName(const QString& out) {
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (out.isEmpty()) throw EUsage("no output given (-o OUT.pdf or OUT.kpp)");
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("kpp"))
        throw EUsage("-o must name a .pdf or .kpp file, not '" + out.toStdString() + "'");
}

void WriteDocument(TKpPreview& preview, const QString& out, const ErrorsToStderr* errors) {
    const QFileInfo info(out);
    if (info.suffix().toLower() == QLatin1String("kpp")) {
        preview.SaveToFile(out); // replaces the file only once it is complete
    } else {
        // The PDF grows page by page: it is written beside the output and takes its name only
        // when complete.
        const QString part = info.dir().filePath(QStringLiteral(".%1.%2.part.pdf")
                                                     .arg(info.fileName())
                                                     .arg(QCoreApplication::applicationPid()));
        struct PartFile {
            const QString& name;
            ~PartFile() { QFile::remove(name); }
        } removeOnFailure{part};
        ExportToPdf(preview, part);
        if (errors && errors->Failed()) return;
        if (!QFileInfo::exists(part) || std::rename(QFile::encodeName(part).constData(),
                                                    QFile::encodeName(out).constData()) != 0)
            throw EInput(QStringLiteral("cannot write %1").arg(out).toStdString());
    }
    if (!QFileInfo::exists(out))
        throw EInput(QStringLiteral("cannot write %1").arg(out).toStdString());
}

ErrorsToStderr::ErrorsToStderr() {
    previous_ = SetErrorReporter([this](const QString& text) {
        failed_ = true;
        std::fprintf(
            stderr, "kpptool: error: %s\n",
            qPrintable(QString(text).replace(QStringLiteral("\n\n"), QStringLiteral(" "))));
    });
}

ErrorsToStderr::~ErrorsToStderr() {
    SetErrorReporter(std::move(previous_));
}

} // namespace kpptool
