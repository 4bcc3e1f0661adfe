#pragma once
// The marks that show found text on a sheet: translucent boxes drawn over the page image,
// never part of the page (nothing printed or exported draws them), and the corner that
// tells a thumbnail's page holds matches.
#include "paginor/KpExport.h"

#include <vector>

#include <QColor>
#include <QRect>

#include "drawing/KpFind.h"

class QPainter;

namespace kp {

// The box in sheet pixels over a match's rectangle (hundredths of a millimetre): sheet is the
// sheet's pixel rectangle, scale the sheet pixels per hundredth of a millimetre.
PAGINOR_INTERNAL_EXPORT QRect FindMarkRect(const QRect& units, const QRect& sheet, qreal scale);

// Marks the matches of one page; the one at index current (if any) stands out.
PAGINOR_INTERNAL_EXPORT void PaintFindMarks(QPainter& painter,
                                            const std::vector<TKpFindMatch>& matches, int current,
                                            const QRect& sheet, qreal scale);

// The small coloured corner of a sheet whose page holds matches.
PAGINOR_INTERNAL_EXPORT void PaintFoundCorner(QPainter& painter, const QRect& sheet);

// The colours of the marks (tests look for them).
PAGINOR_INTERNAL_EXPORT QColor FindMarkColor(bool current);

} // namespace kp
