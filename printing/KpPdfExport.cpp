#include "printing/KpPdfExport.h"

#include <stdexcept>

#include <QPageSize>
#include <QSizeF>

#include "platform/KpPrinterDevice.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"

namespace kp {

void ExportToPdf(TKpPreview& preview, const QString& fileName, const TKpPdfExportOptions& options) {
    if (fileName.isEmpty()) throw std::invalid_argument("No output file given for the PDF export");
    if (options.Resolution < 36 || options.Resolution > 4800)
        throw std::invalid_argument("The export resolution must lie between 36 and 4800 dpi");
    const int last = options.ToPage < 1 ? preview.NumPages() : options.ToPage;
    if (options.FromPage < 1 || last > preview.NumPages() || last < options.FromPage)
        throw std::out_of_range("The export page range lies outside the document");

    // The sheet: the document's paper, given portrait (the job turns it as it needs).
    const qreal a = preview.PaperWidth().AsMillimeters();
    const qreal b = preview.PaperHeight().AsMillimeters();
    TKpVirtualPrinterSetup setup;
    setup.Name = QStringLiteral("PDF export");
    setup.Resolution = options.Resolution;
    setup.Offset = options.Offset;
    setup.Paper = QPageSize(QSizeF(std::min(a, b), std::max(a, b)), QPageSize::Millimeter,
                            QString(), QPageSize::ExactMatch);

    TKpPrinter& printer = preview.KpPrinter();
    const QString title =
        preview.Title().isEmpty() ? QStringLiteral("<document>") : preview.Title();
    const TKpPrintColor color = printer.PrintColor();
    // Runs after the system printer is back: its margins again.
    struct MarginsRefresh {
        TKpPrinter& printer;
        ~MarginsRefresh() { printer.UpdatePrinterMargins(); }
    } refresh{printer};
    {
        std::vector<TKpVirtualPrinterSetup> printers{setup};
        TKpScopedPrinterBackend scope(std::make_unique<TKpVirtualPrinterBackend>(printers));
        TKpPlatformPrinter::Instance().Printers();
        TKpPlatformPrinter::Instance().SetTitle(title);
        // The virtual device starts from its own defaults; the job's colour is the printer's.
        printer.SetPrintColor(color);
        preview.PrintToFile = fileName;
        try {
            preview.PrintRange(options.FromPage, last);
        } catch (...) {
            preview.PrintToFile.clear();
            throw;
        }
    }
}

} // namespace kp
