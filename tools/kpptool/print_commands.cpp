// `export` and `print`: run a document's print job onto a PDF file or a real printer.
#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include <QRegularExpression>

#include "commands.h"
#include "drawing/KpDocument.h"
#include "printing/KpErrors.h"
#include "printing/KpPdfExport.h"
#include "printing/KpPrinter.h"
#include "printing/KpPrintJob.h"

using namespace kp;

namespace {

class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct JobOptions {
    QString file;
    QString out;
    QString printer;
    int pagesPerSheet = 1;
    bool mono = false;
    int from = 0; // 0: the whole document
    int to = 0;
    int dpi = 600;
    int copies = 1;
};

int ToInt(const QString& text, const char* what) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        throw EUsage(std::string(what) + " needs a whole number, not '" + text.toStdString() + "'");
    return v;
}

JobOptions Parse(const QStringList& args, bool exporting) {
    JobOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* what) {
            if (i + 1 >= args.size()) throw EUsage(std::string(what) + " needs a value");
            return args[++i];
        };
        if (exporting && (a == QLatin1String("-o") || a == QLatin1String("--output"))) {
            o.out = value("-o");
        } else if (!exporting && a == QLatin1String("--printer")) {
            o.printer = value("--printer");
        } else if (a == QLatin1String("--pages-per-sheet")) {
            o.pagesPerSheet = ToInt(value("--pages-per-sheet"), "--pages-per-sheet");
            if (o.pagesPerSheet != 1 && o.pagesPerSheet != 2 && o.pagesPerSheet != 4)
                throw EUsage("--pages-per-sheet takes 1, 2 or 4");
        } else if (a == QLatin1String("--mono")) {
            o.mono = true;
        } else if (a == QLatin1String("--range")) {
            static const QRegularExpression re(QStringLiteral(R"(^(\d{1,6})(?:-(\d{1,6}))?$)"));
            const QString r = value("--range");
            const auto m = re.match(r);
            if (!m.hasMatch()) throw EUsage("--range takes A-B (pages from 1), for example 2-5");
            o.from = m.captured(1).toInt();
            o.to = m.captured(2).isEmpty() ? o.from : m.captured(2).toInt();
            if (o.from < 1 || o.to < o.from) throw EUsage("--range needs 1 <= A <= B");
        } else if (exporting && a == QLatin1String("--dpi")) {
            o.dpi = ToInt(value("--dpi"), "--dpi");
        } else if (a == QLatin1String("--copies")) {
            o.copies = ToInt(value("--copies"), "--copies");
            if (o.copies < 1 || o.copies > 999) throw EUsage("--copies takes 1 to 999");
        } else if (a.startsWith(QLatin1Char('-'))) {
            throw EUsage("unknown option '" + a.toStdString() + "'");
        } else if (o.file.isEmpty()) {
            o.file = a;
        } else {
            throw EUsage("only one FILE may be given");
        }
    }
    if (o.file.isEmpty()) throw EUsage("no FILE given");
    if (exporting && o.out.isEmpty()) throw EUsage("export needs -o OUT.pdf");
    return o;
}

// A document read from the file, printed through printer with the options' settings.
struct Job {
    TKpDocument document;
    TKpPrinter printer;
    TKpPagesPerSheet pagesPerSheet = kpOnePage;
    TOnPrintProgressEvent progress;
    TKpPrintJob job{document, printer};
    Job() { document.SetPrinterState(&printer); }
};

void Prepare(Job& j, const JobOptions& o) {
    j.document.LoadFromFile(o.file);
    if (o.to > j.document.NumPages())
        throw std::out_of_range(QStringLiteral("--range %1-%2 lies beyond the document's %3 pages")
                                    .arg(o.from)
                                    .arg(o.to)
                                    .arg(j.document.NumPages())
                                    .toStdString());
    j.pagesPerSheet = o.pagesPerSheet == 4   ? kpFourPage
                      : o.pagesPerSheet == 2 ? kpTwoPage
                                             : kpOnePage;
    j.job.PagesPerSheet = &j.pagesPerSheet;
    j.printer.SetPrintColor(o.mono ? kpMonochrome : kpColor);
    j.job.Copies = std::max(1, o.copies);
    j.job.OnPrintProgress = &j.progress;
}

// Reports go to standard error and mark the command as failed; nothing waits for a click.
struct ErrorsToStderr {
    ErrorsToStderr() {
        previous = SetErrorReporter([this](const QString& text) {
            failed = true;
            std::fprintf(
                stderr, "kpptool: error: %s\n",
                qPrintable(QString(text).replace(QStringLiteral("\n\n"), QStringLiteral(" "))));
        });
    }
    ~ErrorsToStderr() { SetErrorReporter(std::move(previous)); }
    TKpErrorReporter previous;
    bool failed = false;
};

int Usage(const std::exception& e, const char* command) {
    std::fprintf(stderr, "kpptool: error: %s\n", e.what());
    if (std::string(command) == "export")
        std::fprintf(stderr, "usage: kpptool export FILE.kpp -o OUT.pdf [--pages-per-sheet 1|2|4] "
                             "[--mono] [--range A-B] [--dpi N] [--copies N]\n");
    else
        std::fprintf(stderr, "usage: kpptool print FILE.kpp [--printer NAME] [--pages-per-sheet "
                             "1|2|4] [--mono] [--range A-B] [--copies N]\n");
    return 2;
}

} // namespace

int RunExport(const QStringList& args) {
    JobOptions o;
    try {
        o = Parse(args, true);
    } catch (const EUsage& e) {
        return Usage(e, "export");
    }
    ErrorsToStderr errors;
    // The job's own printer settings on the export's virtual printer: nothing of the system
    // printer changes.
    TKpPdfExportOptions options;
    options.Resolution = o.dpi;
    options.FromPage = o.from > 0 ? o.from : 1;
    options.ToPage = o.to;
    Job j;
    Prepare(j, o);
    ExportToPdf(j.job, j.document, j.document.Title(), o.out, options);
    return errors.failed ? 1 : 0;
}

int RunPrint(const QStringList& args) {
    JobOptions o;
    try {
        o = Parse(args, false);
    } catch (const EUsage& e) {
        return Usage(e, "print");
    }
    ErrorsToStderr errors;
    Job j;
    TKpPrinter& printer = j.printer;
    if (!printer.PrinterInstalled()) {
        std::fprintf(stderr, "kpptool: error: no printer is installed (is the spooler running?); "
                             "use 'kpptool export' for a PDF\n");
        return 1;
    }
    if (!o.printer.isEmpty()) {
        TKpPrinterStrings& list = printer.Printers();
        int index = -1;
        QStringList names;
        for (int i = 0; i < list.Count(); ++i) {
            names << list.Objects(i)->Device;
            if (list.Objects(i)->Device == o.printer) index = i;
        }
        if (index < 0) {
            std::fprintf(stderr, "kpptool: error: no printer named '%s' (printers: %s)\n",
                         qPrintable(o.printer), qPrintable(names.join(QStringLiteral(", "))));
            return 1;
        }
        printer.SetPrinterIndex(index);
    }
    Prepare(j, o);
    int sheets = 0;
    j.progress = [&](void*, int printed, int) { sheets = printed; };
    if (o.from > 0)
        j.job.Run(o.from, o.to);
    else
        j.job.Run(1, j.document.NumPages());
    if (errors.failed) return 1;
    std::printf("%d page(s) sent to %s\n", sheets,
                qPrintable(printer.Printers().Strings(printer.PrinterIndex())));
    return 0;
}
