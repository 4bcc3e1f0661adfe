#pragma once
// The process-wide print state: the colour of the job in force and the installed printer's
// resolution. Drawing never reads them itself; whoever builds a draw context reads them once.
#include "paginor/KpExport.h"

#include <cstdint>

namespace kp {

enum TKpPrintColor : uint8_t { kpColor = 0, kpMonochrome = 1 };

// The print colour of the job in force (monochrome greys every colour).
PAGINOR_EXPORT TKpPrintColor CurrentPrintColor();
PAGINOR_EXPORT void SetCurrentPrintColor(TKpPrintColor c);

// The installed printer's horizontal resolution; 360 when there is no printer.
PAGINOR_EXPORT int PrinterDpi();

} // namespace kp
