#pragma once
// Tests pretend a printer resolution, so that printer-scaled drawing is checked without a
// printer. Not part of the installed headers.
#include "paginor/KpExport.h"

namespace kp {

// 0 removes the override.
PAGINOR_INTERNAL_EXPORT void SetPrinterDpiOverride(int dpi);

} // namespace kp
