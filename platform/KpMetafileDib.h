#pragma once
// Device-independent bitmaps as metafiles carry them: a header with its colour table, and the
// pixel rows bottom-up (top-down for a negative height). Uncompressed 1, 4, 8, 16, 24 and
// 32 bits per pixel, 16 and 32 with bit-field masks, and run-length compressed 8 and 4 bits.
#include <QImage>

#include "platform/KpMetafileReader.h"

namespace kp {

// The largest bitmap a metafile may hold, in pixels: its decoded form stays under 256 MiB.
constexpr int64_t kKpMaxDibPixels = int64_t(64) << 20;

// The bitmap whose header and colour table are info and whose rows are bits; a null image
// when either does not hold what the header claims, or the form is not one read here.
// With keepAlpha a 32-bit bitmap keeps its fourth byte as premultiplied alpha.
QImage KpDibImage(const TKpLeReader& info, const TKpLeReader& bits, bool keepAlpha = false);

// The size of a packed bitmap's header with its colour table (rows follow it), or -1.
int64_t KpDibInfoSize(const TKpLeReader& packed);

} // namespace kp
