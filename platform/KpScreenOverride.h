#pragma once
// Tests, benchmarks and fuzzers pin the screen resolution, so that their figures do not depend
// on the machine's screen. Not part of the installed headers.
#include "paginor/KpExport.h"

namespace kp {
// 0 removes the override.
PAGINOR_INTERNAL_EXPORT void SetScreenPixelsPerInchOverride(int ppi);
} // namespace kp
