#include "printing/KpPdfExport.h"

#include <stdexcept>

#include <QPageSize>
#include <QSizeF>

#include "drawing/KpDocument.h"
#include "platform/KpPrinterDevice.h"
#include "platform/KpRunThen.h"
#include "platform/KpStateGuard.h"
#include "printing/KpPrinter.h"
#include "printing/KpPrintJob.h"

namespace kp {

namespace {

void checkOptions(const TKpDocument& document, const QString& fileName,
                  const TKpPdfExportOptions& options) {
    if (fileName.isEmpty()) throw std::invalid_argument("No output file given for the PDF export");
    if (options.Resolution < 36 || options.Resolution > 4800)
        throw std::invalid_argument("The export resolution must lie between 36 and 4800 dpi");
    const int last = options.ToPage < 1 ? document.NumPages() : options.ToPage;
    if (options.FromPage < 1 || last > document.NumPages() || last < options.FromPage)
        throw std::out_of_range("The export page range lies outside the document");
}

// A virtual printer for the sheet: the document's paper, given portrait (the job turns it as
// it needs).
TKpVirtualPrinterSetup sheetFor(TKpDocument& document, const TKpPdfExportOptions& options) {
    const qreal a = document.PaperWidth().AsMillimeters();
    const qreal b = document.PaperHeight().AsMillimeters();
    TKpVirtualPrinterSetup setup;
    setup.Name = QStringLiteral("PDF export");
    setup.Resolution = options.Resolution;
    setup.Offset = options.Offset;
    setup.Paper = QPageSize(QSizeF(std::min(a, b), std::max(a, b)), QPageSize::Millimeter,
                            QString(), QPageSize::ExactMatch);
    return setup;
}

} // namespace

TKpResult ExportToPdf(TKpPrintJob& job, TKpDocument& document, const QString& title,
                      const QString& fileName, const TKpPdfExportOptions& options) {
    TKpResult result;
    checkOptions(document, fileName, options);
    const int last = options.ToPage < 1 ? document.NumPages() : options.ToPage;
    TKpPrinter& printer = job.Printer();
    const TKpPrintColor color = printer.PrintColor();
    // Runs after the system printer is back: its margins again.
    kp::RunThen(
        [&] {
            std::vector<TKpVirtualPrinterSetup> printers{sheetFor(document, options)};
            TKpScopedPrinterBackend scope(std::make_unique<TKpVirtualPrinterBackend>(printers));
            TKpPlatformPrinter::Instance().Printers();
            TKpPlatformPrinter::Instance().SetTitle(title.isEmpty() ? QStringLiteral("<document>")
                                                                    : title);
            // The virtual device starts from its own defaults; the job's colour is the
            // printer's.
            printer.SetPrintColor(color);
            QString file = fileName;
            QString* const hostFile = job.FileName;
            job.FileName = hostFile ? hostFile : &file;
            if (hostFile) *hostFile = fileName;
            kp::RunThen([&] { result = job.Run(options.FromPage, last); },
                        [&] {
                            if (hostFile) hostFile->clear();
                            job.FileName = hostFile;
                        });
        },
        [&] { printer.UpdatePrinterMargins(); });
    return result;
}

TKpResult ExportToPdf(TKpDocument& document, const QString& fileName,
                      const TKpPdfExportOptions& options) {
    TKpResult result;
    checkOptions(document, fileName, options);
    // The document's own printer settings for the job, made on the virtual printer, so that
    // nothing of the system printer changes; the document asks them while the job runs.
    std::vector<TKpVirtualPrinterSetup> printers{sheetFor(document, options)};
    TKpScopedPrinterBackend scope(std::make_unique<TKpVirtualPrinterBackend>(printers));
    TKpPrinter printer;
    TKpPrinterState* const state = document.PrinterState();
    document.SetPrinterState(&printer);
    kp::RunThen(
        [&] {
            TKpPrintJob job(document, printer);
            result = ExportToPdf(job, document, document.Title(), fileName, options);
        },
        [&] { document.SetPrinterState(state); });
    return result;
}

} // namespace kp
