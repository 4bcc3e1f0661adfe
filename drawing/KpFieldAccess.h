#pragma once
// Stores fields of the document's objects without notifying, repainting or broadcasting:
// document loading sets many fields before anything is shown again, and tests put objects
// into states (a running print job) that only a real job makes. Not part of the installed
// headers; the classes name it as a friend. A view (a preview) stores into its document;
// the print settings above this layer are reached through templates.
#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpPage.h"

namespace kp {

struct TKpFieldAccess {
    // Through the page, so that its list keeps counting its landscape pages.
    static void SetOrientation(TKpPage& page, TKpOrientation v) { page.storeOrientation(v); }
    static void SetOrientation(TKpDocument& document, TKpOrientation v) {
        document.orientation_ = v;
    }
    static void SetPaperSize(TKpDocument& document, TKpPaperSize v) { document.paperSize_ = v; }
    template <class View>
    requires requires(View& view) { view.Document(); }
    static void SetOrientation(View& view, TKpOrientation v) { SetOrientation(view.Document(), v); }
    template <class View>
    requires requires(View& view) { view.Document(); }
    static void SetPaperSize(View& view, TKpPaperSize v) { SetPaperSize(view.Document(), v); }
    template <class View, class PerSheet> static void SetPagesPerSheet(View& view, PerSheet v) {
        view.pagesPerSheet_ = v;
    }
    static void SetClipMargins(TKpMargins& margins, bool v) { margins.clipMargins_ = v; }
    static void SetFlags(TKpHeaderFooter& band, bool showLine, bool visible) {
        band.showLine_ = showLine;
        band.visible_ = visible;
    }
    // Non-zero suspends the band's change notifications, 0 resumes them.
    static void SetDrawing(TKpHeaderFooter& band, int v) { band.drawing_ = v; }
    static int& Drawing(TKpHeaderFooter& band) { return band.drawing_; }
    // Pretends a running print job (or ends the pretence).
    template <class Printer> static void SetPrinting(Printer& printer, bool v) {
        printer.printing_ = v;
    }
};

} // namespace kp
