#pragma once
// Stores fields of the preview's objects without notifying, repainting or broadcasting:
// document loading sets many fields before anything is shown again, and tests put objects
// into states (a running print job) that only a real job makes. Not part of the installed
// headers; the classes name it as a friend.
#include "drawing/KpPage.h"
#include "preview/KpHeaderFooter.h"
#include "preview/KpMargins.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"

namespace kp {

struct TKpFieldAccess {
    // Through the page, so that its list keeps counting its landscape pages.
    static void SetOrientation(TKpPage& page, TKpOrientation v) { page.storeOrientation(v); }
    static void SetOrientation(TKpPreview& preview, TKpOrientation v) { preview.orientation_ = v; }
    static void SetPaperSize(TKpPreview& preview, TKpPaperSize v) { preview.paperSize_ = v; }
    static void SetPagesPerSheet(TKpPreview& preview, TKpPagesPerSheet v) {
        preview.pagesPerSheet_ = v;
    }
    static void SetClipMargins(TKpMargins& margins, bool v) { margins.clipMargins_ = v; }
    static void SetFlags(TKpHeaderFooter& band, bool showLine, bool visible) {
        band.showLine_ = showLine;
        band.visible_ = visible;
    }
    // Non-zero suspends the band's change notifications, 0 resumes them.
    static void SetDrawing(TKpHeaderFooter& band, int v) { band.drawing_ = v; }
    // Pretends a running print job (or ends the pretence).
    static void SetPrinting(TKpPrinter& printer, bool v) { printer.printing_ = v; }
};

} // namespace kp
