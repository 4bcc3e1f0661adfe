#pragma once
// The mouse button and shift state the preview's events carry, and their mapping from Qt's
// mouse state (used by the preview, its page image and the thumbnails).
#include <cstdint>

#include <Qt>

#include "paginor/KpExport.h"

namespace kp {

enum TMouseButton : uint8_t { mbLeft = 0, mbRight = 1, mbMiddle = 2 };
// Shift state bits.
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

PAGINOR_EXPORT TMouseButton KpMouseButton(Qt::MouseButton button);
PAGINOR_EXPORT TShiftState KpShiftState(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);

} // namespace kp
