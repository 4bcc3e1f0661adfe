#pragma once
// The default resolution of a CUPS queue: the user's or the server's default for the queue's
// "Resolution" option, else its PPD's DefaultResolution. QPrinter does not tell it (a
// high-resolution QPrinter always reports 1200 dpi).
#include "paginor/KpExport.h"

#include <QByteArray>
#include <QString>

namespace kp {

// Horizontal dots per inch of a PPD resolution text ("300dpi", "600x300dpi", "118dpcm");
// 0 when the text is not one.
PAGINOR_EXPORT int KpParseResolution(const QByteArray& text);

// The queue's default horizontal resolution in dots per inch; 0 when the spooler or the
// queue does not say (no CUPS library, no PPD, no such queue).
PAGINOR_EXPORT int KpCupsDefaultResolution(const QString& queue);

} // namespace kp
