// The print job: one, two or four logical pages to a sheet, the header, footer and printable
// objects of every page drawn straight onto the printer at its resolution.
#include "printing/KpPrintJob.h"

#include <algorithm>
#include <utility>

#include <QPainter>

#include "drawing/KpDocument.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPrinterDevice.h"
#include "platform/KpRunThen.h"
#include "printing/KpErrors.h"
#include "printing/KpPrinter.h"

namespace kp {

namespace {

TKpOrientation toggled(TKpOrientation o) {
    return o == kpPortrait ? kpLandscape : kpPortrait;
}

// The logical page's rectangle on a sheet of W x H device pixels (right and bottom
// exclusive, carried as QRect width and height).
QRect slotRect(TKpPagesPerSheet perSheet, TKpOrientation docOrientation, int page, int w, int h) {
    auto rect = [](int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); };
    switch (perSheet) {
    case kpTwoPage:
        if (docOrientation == kpPortrait)
            return page % 2 == 1 ? rect(0, 0, w / 2, h) : rect(w / 2, 0, w, h);
        return page % 2 == 1 ? rect(0, 0, w, h / 2) : rect(0, h / 2, w, h);
    case kpFourPage:
        switch (page % 4) {
        case 1:
            return rect(0, 0, w / 2, h / 2);
        case 2:
            return rect(w / 2, 0, w, h / 2);
        case 3:
            return rect(0, h / 2, w / 2, h);
        default:
            return rect(w / 2, h / 2, w, h);
        }
    default:
        return rect(0, 0, w, h);
    }
}

bool sheetBreakDue(TKpPagesPerSheet perSheet, int page) {
    switch (perSheet) {
    case kpTwoPage:
        return page % 2 == 0;
    case kpFourPage:
        return page % 4 == 0;
    default:
        return true;
    }
}

} // namespace

TKpPrintJob::TKpPrintJob(TKpDocument& document, TKpPrinter& printer)
    : document_(document), printer_(printer) {}

namespace {
template <class Event, class... Args> void fire(const Event* event, Args&&... args) {
    if (event && *event) (*event)(std::forward<Args>(args)...);
}
} // namespace

TKpResult TKpPrintJob::Run(int fromPage, int toPage) {
    TKpDocument& doc = document_;
    TKpPrinter& printer = printer_;
    void* const sender = Sender ? Sender : &doc;
    // Without a printer the job quietly does nothing, as a print command on such a system
    // does; its caller still learns why.
    if (!printer.PrinterInstalled()) return {QStringLiteral("No printer selected")};
    const TKpErrorCapture failures;
    // A range naming pages the document lacks is refused before anything is opened.
    if (toPage >= fromPage) {
        if (fromPage < 1) throw EListError(fromPage - 1);
        if (toPage > doc.NumPages()) throw EListError(toPage - 1);
    }
    TKpPlatformPrinter& device = TKpPlatformPrinter::Instance();
    // A job started from a print event while the printer prints (this job's host's own or
    // another's) is refused before it changes anything of the running one.
    if (device.Printing()) {
        ShowError(ErrorOwner ? ErrorOwner : static_cast<QObject*>(&doc),
                  QStringLiteral("Unable to initialise printer... Printing in progress."));
        return failures.Result();
    }

    SetCurrentPrintColor(printer.PrintColor());
    fire(BeforePrint, sender);
    TKpPagesPerSheet onePage = kpOnePage;
    TKpPagesPerSheet& pagesPerSheet = PagesPerSheet ? *PagesPerSheet : onePage;
    if (doc.OrientationType() == 2) pagesPerSheet = kpOnePage; // quietly: no broadcast

    int w = device.Geometry().PhysicalWidth;
    int h = device.Geometry().PhysicalHeight;
    Extended printScale = 1.0;
    int printed = 0;
    // The orientation the printer had before the job; the closing steps put it back.
    const TKpOrientation startOrientation = printer.PlatformOrientation();
    bool orientationToggled = false;

    const TKpPagesPerSheet perSheet = pagesPerSheet;
    const TKpOrientation docOrientation = doc.Orientation();
    const bool printerLandscape = printer.PlatformOrientation() == kpLandscape;
    if (perSheet == kpTwoPage) {
        // The sheet takes the opposite orientation.
        if ((docOrientation == kpLandscape) == printerLandscape) {
            printer.SetOrientation(toggled(printer.PlatformOrientation()));
            orientationToggled = true;
            std::swap(w, h);
        }
        printScale = static_cast<Extended>(std::min(w, h)) / static_cast<Extended>(std::max(w, h));
    } else {
        if ((docOrientation == kpLandscape) != printerLandscape) {
            printer.SetOrientation(toggled(printer.PlatformOrientation()));
            orientationToggled = true;
            std::swap(w, h);
        }
        if (perSheet == kpFourPage) printScale = 0.5;
    }
    if (perSheet == kpOnePage && toPage >= fromPage) {
        const TKpOrientation first = doc.GetPage(fromPage)->Orientation();
        printer.SetOrientation(first);
        if (first != docOrientation) std::swap(w, h);
    }

    const int copies = std::max(1, Copies);
    QString noFile;
    QString& printToFile = FileName ? *FileName : noFile;
    const int total = toPage >= fromPage ? (toPage - fromPage + 1) * copies : 0;
    printer.BeginDoc(printToFile);
    // Only a document this job opened is drawn on and closed by it: when BeginDoc refused
    // (another job runs, or the device failed) the pages are skipped.
    const bool opened = printer.Printing();
    // Read once for the whole job: the print colour and the printer's resolution.
    TKpDrawContext context = doc.DrawContext(printer.Printing());
    context.PrinterPrinting = printer.Printing();
    kp::RunThen(
        [&] {
            if (opened) {
                for (int copy = 1; copy <= copies; ++copy) {
                    for (int i = fromPage; i <= toPage; ++i) {
                        TKpPage* page = doc.GetPage(i);
                        void* handle = device.Handle();
                        fire(BeforePrintPage, sender, page, handle);

                        QRect r = slotRect(perSheet, docOrientation, i, w, h);
                        const QPoint offset = printer.PhysicalOffset();
                        r.translate(-offset.x(), -offset.y());

                        QPainter* painter = device.Painter();
                        if (perSheet != kpOnePage) {
                            // Nothing of a logical page, clips it recorded included, reaches
                            // the neighbouring slots.
                            painter->setClipRect(r, Qt::ReplaceClip);
                        } else {
                            painter->setClipping(false);
                        }
                        TKpDeviceCanvas local(painter, device.Canvas()->DpiX(),
                                              device.Canvas()->DpiY());
                        TKpDeviceCanvas& canvas = perSheet != kpOnePage ? local : *device.Canvas();
                        TKpPageDrawing how;
                        how.PageRect = r;
                        how.Scale = printScale;
                        how.ObjectOffset = QPoint(-r.left(), -r.top());
                        how.PrintableOnly = true;
                        how.BandsFirst = true;
                        how.Header = doc.Header().Visible();
                        how.Footer = doc.Footer().Visible();
                        DrawPage(canvas, *page, context, how);
                        painter->setClipping(false);
                        fire(OnPrintPage, sender, i, r, device.Canvas(), printScale);

                        const bool lastOfCopy = i == toPage;
                        const bool lastOfJob = lastOfCopy && copy == copies;
                        if (!lastOfJob && (lastOfCopy || sheetBreakDue(perSheet, i))) {
                            fire(AfterPrintPage, sender, page, device.Handle());
                            const int next = lastOfCopy ? fromPage : i + 1;
                            const TKpOrientation nextOrientation = doc.GetPage(next)->Orientation();
                            if (doc.OrientationType() == 2)
                                printer.ChangeOrientation(nextOrientation);
                            else
                                device.NewPage();
                            if (page->Orientation() != nextOrientation) std::swap(w, h);
                        }
                        ++printed;
                        fire(OnPrintProgress, sender, printed, total);
                    }
                }
            }
        },
        [&] {
            if (opened) printer.EndDoc();
            printToFile.clear();
            if (orientationToggled || printer.PlatformOrientation() != startOrientation)
                printer.SetOrientation(startOrientation);
            fire(AfterPrint, sender);
        });
    return failures.Result();
}

} // namespace kp
