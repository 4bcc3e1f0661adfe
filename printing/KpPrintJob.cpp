// The preview's print job: one, two or four logical pages to a sheet, the header, footer and
// printable objects of every page drawn straight onto the printer at its resolution.
#include <algorithm>
#include <utility>

#include <QPainter>

#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPrinterDevice.h"
#include "preview/KpHeaderFooter.h"
#include "preview/KpMargins.h"
#include "preview/KpPreview.h"
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

void TKpPreview::Print() {
    PrintRange(1, NumPages());
}

void TKpPreview::PrintCurrentPage() {
    PrintRange(CurrentPage(), CurrentPage());
}

void TKpPreview::PrintRange(int fromPage, int toPage) {
    TKpPrinter& printer = KpPrinter();
    if (!printer.PrinterInstalled()) return;
    // A range naming pages the document lacks is refused before anything is opened.
    if (toPage >= fromPage) {
        if (fromPage < 1) throw EListError(fromPage - 1);
        if (toPage > NumPages()) throw EListError(toPage - 1);
    }
    TKpPlatformPrinter& device = TKpPlatformPrinter::Instance();
    // A job started from a print event while the printer prints (this preview's own job or
    // another's) is refused before it changes anything of the running one.
    if (device.Printing()) {
        ShowError(this, QStringLiteral("Unable to initialise printer... Printing in progress."));
        return;
    }

    SetCurrentPrintColor(printer.PrintColor());
    if (BeforePrint) BeforePrint(this);
    if (OrientationType() == 2) pagesPerSheet_ = kpOnePage; // quietly: no broadcast

    int w = device.Geometry().PhysicalWidth;
    int h = device.Geometry().PhysicalHeight;
    Extended printScale = 1.0;
    int printed = 0;
    // The orientation the printer had before the job; the closing steps put it back.
    const TKpOrientation startOrientation = printer.PlatformOrientation();
    bool orientationToggled = false;

    const TKpPagesPerSheet perSheet = PagesPerSheet();
    const TKpOrientation docOrientation = Orientation();
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
        const TKpOrientation first = GetPage(fromPage)->Orientation();
        printer.SetOrientation(first);
        if (first != docOrientation) std::swap(w, h);
    }

    const int copies = std::max(1, PrintCopies());
    const int total = toPage >= fromPage ? (toPage - fromPage + 1) * copies : 0;
    printer.BeginDoc(PrintToFile);
    // Only a document this job opened is drawn on and closed by it: when BeginDoc refused
    // (another job runs, or the device failed) the pages are skipped.
    const bool opened = printer.Printing();
    try {
        if (opened) {
            for (int copy = 1; copy <= copies; ++copy) {
                for (int i = fromPage; i <= toPage; ++i) {
                    TKpPage* page = GetPage(i);
                    void* handle = device.Handle();
                    if (BeforePrintPage) BeforePrintPage(this, page, handle);

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
                    if (Header().Visible()) Header().Draw(canvas, Margins(), r, i, printScale);
                    if (Footer().Visible()) Footer().Draw(canvas, Margins(), r, i, printScale);
                    const QPoint objectOffset(-r.left(), -r.top());
                    for (int k = 0; k < page->Count(); ++k) {
                        TKpBaseObject* object = page->Objects(k);
                        if (!object->Printable) continue;
                        object->PageNum = i;
                        object->Draw(canvas, this, objectOffset, printScale, printer.Printing());
                    }
                    painter->setClipping(false);
                    if (OnPrintPage) OnPrintPage(this, i, r, device.Canvas(), printScale);

                    const bool lastOfCopy = i == toPage;
                    const bool lastOfJob = lastOfCopy && copy == copies;
                    if (!lastOfJob && (lastOfCopy || sheetBreakDue(perSheet, i))) {
                        if (AfterPrintPage) AfterPrintPage(this, page, device.Handle());
                        const int next = lastOfCopy ? fromPage : i + 1;
                        const TKpOrientation nextOrientation = GetPage(next)->Orientation();
                        if (OrientationType() == 2)
                            printer.ChangeOrientation(nextOrientation);
                        else
                            device.NewPage();
                        if (page->Orientation() != nextOrientation) std::swap(w, h);
                    }
                    ++printed;
                    if (OnPrintProgress) OnPrintProgress(this, printed, total);
                }
            }
        }
    } catch (...) {
        if (opened) printer.EndDoc();
        PrintToFile.clear();
        printer.SetOrientation(startOrientation);
        if (AfterPrint) AfterPrint(this);
        throw;
    }
    if (opened) printer.EndDoc();
    PrintToFile.clear();
    if (orientationToggled || printer.PlatformOrientation() != startOrientation)
        printer.SetOrientation(startOrientation);
    if (AfterPrint) AfterPrint(this);
}

} // namespace kp
