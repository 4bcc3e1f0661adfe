#include "content/KpGridPageLimit.h"

#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"

namespace kp {

namespace {
// The y the canvas adds to every recorded coordinate.
int32_t CanvasOriginY(TKpPreview& preview) {
    TKpCanvas& canvas = preview.Canvas();
    int32_t base = 0;
    switch (canvas.OriginMode()) {
    case kpOriginPrinter:
        base = preview.KpPrinter().PrinterMargins().Top().value;
        break;
    case kpOriginMargins:
        base = preview.Margins().Top().value;
        break;
    case kpOriginHeader:
        base = preview.Margins().Top().value + preview.Header().BandHeight().value;
        break;
    default:
        break;
    }
    return base + canvas.OriginY;
}
} // namespace

int32_t KpRowTop(TKpPreview& preview) {
    return preview.Margins().Top().value + preview.Header().BandHeight().value -
           CanvasOriginY(preview);
}

int32_t KpRowLimit(TKpPreview& preview, int32_t bottomReserve) {
    return preview.PaperHeight().value - bottomReserve - CanvasOriginY(preview);
}

} // namespace kp
