#pragma once
// What drawing a page needs besides the page itself: whether it goes to a printer, the print
// colour and printer resolution in force, and the values of the caption tokens. Whoever
// starts drawing builds one; the objects and the header and footer read only it.
#include "paginor/KpExport.h"

#include <QDateTime>
#include <QObject>
#include <QRect>
#include <QString>

#include "drawing/KpUnits.h"
#include "platform/KpPrintState.h"

namespace kp {

class TKpDeviceCanvas;
class TKpPage;

// What a document asks of the printer settings its pages go to (a preview's printer): whether
// that printer runs a job now, and its unprintable margins (the printer origin of the canvas).
class PAGINOR_EXPORT TKpPrinterState {
    // A gadget, so that the printer settings deriving from it can publish properties.
    Q_GADGET
public:
    virtual bool Printing() const = 0;
    virtual TKpValueRect& PrinterMargins() = 0;

protected:
    ~TKpPrinterState() = default;
};

struct PAGINOR_EXPORT TKpDrawContext {
    // Drawn for a printer: colours are greyed in monochrome, pens keep their printer width.
    bool Printing = false;
    // The document's printer runs a job (graphics go out as device bitmaps).
    bool PrinterPrinting = false;
    // The print colour in force is monochrome.
    bool Monochrome = false;
    // The printer's resolution: on screen a pen's width, given in printer dots, is scaled by it.
    int PrinterDpi = 360;
    // Caption tokens are replaced (drawing for a document); off, texts are drawn as they are.
    bool Tokens = false;
    int PageCount = 0;
    QString Title;
    // The moment {DATE} and {TIME} show; invalid: the clock when a caption asks.
    QDateTime Now;

    // The process-wide print colour and printer resolution, read now.
    static TKpDrawContext Current(bool printing);
    // Replaces {DATE}, {TIME}, {PAGE} and {NUMPAGES} (upper case only) when Tokens is set.
    QString Substitute(const QString& text, int pageNum) const;
    // The colours are greyed: objects when drawn for a printer, the header and footer while
    // the printer prints.
    bool GreyObjects() const { return Printing && Monochrome; }
    bool GreyBands() const { return PrinterPrinting && Monochrome; }
};

// How one page is drawn onto a target.
struct PAGINOR_EXPORT TKpPageDrawing {
    // The sheet on the target, in its pixels (the header and footer are placed on it).
    QRect PageRect;
    Extended Scale = 1;
    // Subtracted from every object's pixel position.
    QPoint ObjectOffset;
    // Clip to the area inside the margins (else to PageRect when ClipToPage is set).
    bool ClipToMargins = false;
    bool ClipToPage = false;
    // Only the objects marked printable.
    bool PrintableOnly = false;
    // The header and footer go under the objects (a printed sheet) or over them (the picture).
    bool BandsFirst = false;
    bool Header = false;
    bool Footer = false;
    // How many objects from the first are drawn; negative: all.
    int ObjectCount = -1;
};

// Draws a page: clip, objects, header and footer, as how says. The one way every picture,
// printed sheet and exported page is drawn.
PAGINOR_EXPORT void DrawPage(TKpDeviceCanvas& target, const TKpPage& page,
                             const TKpDrawContext& context, const TKpPageDrawing& how);

} // namespace kp
