#include "printing/KpPdfExport.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include <QPageSize>
#include <QSizeF>

#include "drawing/KpDocument.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpMath.h"
#include "platform/KpPrinterDevice.h"
#include "platform/KpRunThen.h"
#include "platform/KpStateGuard.h"
#include "printing/KpErrors.h"
#include "printing/KpPdfUpdate.h"
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

// Where a printed page went: its sheet, and its paper's corner and scale there in points.
struct TPlacedPage {
    int Page = 0;
    int Sheet = 0;
    QPointF Origin;
    double PointsPerUnit = 0; // points per KpUnit
    QPointF At(QPoint p) const { return Origin + QPointF(p) * PointsPerUnit; }
};

// What the print job could not write into the PDF: the whole title (a job printed to a file
// is named with 31 characters of it), author and subject, links and outline.
TKpPdfUpdate pdfUpdate(const TKpDocument& document, const QString& title,
                       const TKpPdfExportOptions& options, const std::vector<TPlacedPage>& placed) {
    TKpPdfUpdate update;
    const TKpDocumentMarks& marks = document.Marks();
    for (const TPlacedPage& p : placed)
        for (const TKpPageLink& link : marks.Links(document.GetPage(p.Page)))
            update.Links.push_back(
                {p.Sheet,
                 QRectF(p.At(link.Rect.topLeft()),
                        p.At(link.Rect.topLeft() + QPoint(link.Rect.width(), link.Rect.height()))),
                 link.Url});
    // In page order; a page printed more than once leads to its first copy.
    std::vector<TKpBookmark> bookmarks = marks.Bookmarks();
    std::stable_sort(bookmarks.begin(), bookmarks.end(), [](const auto& a, const auto& b) {
        return a.Page != b.Page ? a.Page < b.Page : a.Top < b.Top;
    });
    for (const TKpBookmark& b : bookmarks) {
        const auto p = std::find_if(placed.begin(), placed.end(),
                                    [&](const TPlacedPage& q) { return q.Page == b.Page; });
        if (p != placed.end())
            update.Outline.push_back({b.Title, b.Level, p->Sheet, p->At(QPoint(0, b.Top)).y()});
    }
    update.Author = options.Author;
    update.Subject = options.Subject;
    // A title the job's name already holds whole needs no update of its own.
    if (!update.Empty() || title.size() > 31) update.Title = title;
    return update;
}

} // namespace

TKpResult ExportToPdf(TKpPrintJob& job, TKpDocument& document, const QString& title,
                      const QString& fileName, const TKpPdfExportOptions& options) {
    TKpResult result;
    checkOptions(document, fileName, options);
    const int last = options.ToPage < 1 ? document.NumPages() : options.ToPage;
    TKpPrinter& printer = job.Printer();
    const TKpPrintColor color = printer.PrintColor();
    std::vector<TPlacedPage> placed;
    int sheet = 0;
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
            // Each page's place on its sheet, told by the job's own events; the host's
            // handlers still run.
            const TOnPrintPage* const hostPrintPage = job.OnPrintPage;
            const TPrintPageEvent* const hostAfterPage = job.AfterPrintPage;
            const TOnPrintPage placePage = [&](void* sender, int pageNum, const QRect& r,
                                               TKpDeviceCanvas* canvas, Extended scale) {
                const int dpi = canvas ? canvas->DpiX() : options.Resolution;
                const double points = 72.0 / dpi;
                const QPoint corner = r.topLeft() + printer.PhysicalOffset();
                placed.push_back({pageNum, sheet, QPointF(corner) * points,
                                  static_cast<double>(kp::Round(scale * dpi)) / 2540 * points});
                if (hostPrintPage && *hostPrintPage)
                    (*hostPrintPage)(sender, pageNum, r, canvas, scale);
            };
            const TPrintPageEvent nextSheet = [&](void* sender, TKpPage* page, void* handle) {
                if (hostAfterPage && *hostAfterPage) (*hostAfterPage)(sender, page, handle);
                ++sheet;
            };
            job.OnPrintPage = &placePage;
            job.AfterPrintPage = &nextSheet;
            kp::RunThen([&] { result = job.Run(options.FromPage, last); },
                        [&] {
                            if (hostFile) hostFile->clear();
                            job.FileName = hostFile;
                            job.OnPrintPage = hostPrintPage;
                            job.AfterPrintPage = hostAfterPage;
                        });
        },
        [&] { printer.UpdatePrinterMargins(); });
    if (!result || placed.empty()) return result; // the job reported why
    const TKpPdfUpdate update = pdfUpdate(document, title, options, placed);
    QString why;
    if (!AppendPdfUpdate(fileName, update, &why)) {
        result.Error =
            QStringLiteral("The PDF was written without its title, links and outline: ") + why;
        ShowError(job.ErrorOwner ? job.ErrorOwner : static_cast<QObject*>(&document),
                  result.Error);
    }
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
