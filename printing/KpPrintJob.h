#pragma once
// A print job on a document: one, two or four logical pages to a sheet, each page drawn
// straight onto the printer at its resolution, with the job's events. A preview runs one with
// its own settings and handlers; a document alone is printed or exported with the defaults.
#include "paginor/KpExport.h"

#include <functional>

#include <QRect>
#include <QString>

#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"
#include "platform/KpPropertyEnums.h"
#include "printing/KpErrors.h"

class QObject;

namespace kp {

class TKpDeviceCanvas;
class TKpDocument;
class TKpPage;
class TKpPrinter;

using TPrintPageEvent = std::function<void(void* sender, TKpPage* page, void* printerHandle)>;
using TOnPrintPage = std::function<void(void* sender, int pageNum, const QRect& prnCanvasRect,
                                        TKpDeviceCanvas* prnCanvas, Extended printScale)>;
using TOnPrintProgressEvent = std::function<void(void* sender, int printed, int total)>;

class PAGINOR_EXPORT TKpPrintJob {
public:
    TKpPrintJob(TKpDocument& document, TKpPrinter& printer);

    // Prints pages fromPage to toPage (none when toPage < fromPage); a range naming pages the
    // document lacks raises EListError before anything is opened. A job that could not run
    // (no printer, another job printing, the device or output file refused) says why in its
    // result; the reason is also reported (printing/KpErrors.h).
    TKpResult Run(int fromPage, int toPage);

    // The events' sender and where errors are reported (a preview; none: the document).
    void* Sender = nullptr;
    QObject* ErrorOwner = nullptr;
    // The host's pages per sheet; a document whose pages differ in orientation quietly
    // falls back to one page a sheet there. None: one page a sheet.
    TKpPagesPerSheet* PagesPerSheet = nullptr;
    int Copies = 1;
    // Printed to this file instead of the printer when set; emptied when the job ends.
    QString* FileName = nullptr;
    // The host's handlers, read when each is due (none: skipped).
    const TNotifyEvent* BeforePrint = nullptr;
    const TNotifyEvent* AfterPrint = nullptr;
    const TPrintPageEvent* BeforePrintPage = nullptr;
    const TPrintPageEvent* AfterPrintPage = nullptr;
    const TOnPrintPage* OnPrintPage = nullptr;
    const TOnPrintProgressEvent* OnPrintProgress = nullptr;

    TKpDocument& Document() const { return document_; }
    TKpPrinter& Printer() const { return printer_; }

private:
    TKpDocument& document_;
    TKpPrinter& printer_;
};

} // namespace kp
