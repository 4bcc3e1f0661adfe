#pragma once
// Where the grid and tree printers stop filling a page. Their rows are recorded through the
// preview's canvas, which adds its origin (the margins' corner, say) to every y; the bottom
// limit is measured from the paper's edge, so it is taken into the canvas's coordinates.
#include "paginor/KpExport.h"

#include <cstdint>

namespace kp {

class TKpPreview;

// The lowest y, in the preview canvas's current coordinates, that rows may reach on a page
// of the preview's paper with bottomReserve kept free at the bottom (KpUnits).
PAGINOR_EXPORT int32_t KpRowLimit(TKpPreview& preview, int32_t bottomReserve);

// The highest y, in the preview canvas's current coordinates, that rows may start at: the top
// margin, below the header's band when the header shows.
PAGINOR_EXPORT int32_t KpRowTop(TKpPreview& preview);

} // namespace kp
