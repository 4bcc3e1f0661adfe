#pragma once
#include "paginor/KpExport.h"

namespace kp {

// The screen as the suite sees it: its logical resolution and the message pump.

// The screen's logical pixels per inch; 96 where there is no screen.
PAGINOR_EXPORT int ScreenPixelsPerInch();

// Lets the platform process pending window messages (paints, input) in the middle of a
// long drawing run.
PAGINOR_EXPORT void ProcessPendingMessages();

} // namespace kp
