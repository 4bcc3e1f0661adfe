#pragma once
// The selectors' 16 x 16 glyphs, program resources named "PRINTER", "ONE", "TWO" and "FOUR".
// Each is drawn transparently: the colour of its bottom-left pixel is the transparent colour.
#include "paginor/KpExport.h"

#include <QImage>

namespace kp {

// The glyph with its transparent colour cleared; a null image when there is no such resource.
PAGINOR_EXPORT QImage KpLoadGlyph(const char* name);

} // namespace kp
