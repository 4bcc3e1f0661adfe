#pragma once
// Screen cursor slots (the zoom cursors, a magnifier with plus and minus, are program
// resources) and the screen-wide cursor override.
#include "paginor/KpExport.h"

#include <QCursor>

namespace kp {

// Slots of the zoom cursors, filled by the page image.
constexpr int crZoomIn = 101;
constexpr int crZoomOut = 102;

// Registers the suite's resources (":/paginor/..."); safe to call any number of times.
PAGINOR_EXPORT void KpEnsureResources();

// Loads a cursor picture from the program's resources (":/paginor/cursors/<name>.png");
// the hot spot is the centre of the magnifier's lens. A missing resource gives the cross.
PAGINOR_EXPORT QCursor KpLoadCursorResource(const char* name);
// Installs a cursor in a screen slot, replacing what the slot held.
PAGINOR_EXPORT void KpInstallCursor(int slot, const QCursor& cursor);
// The cursor in a slot; the default arrow for an empty slot.
PAGINOR_EXPORT QCursor KpScreenCursor(int slot);
PAGINOR_EXPORT bool KpHasScreenCursor(int slot);

PAGINOR_EXPORT QCursor KpZoomInCursor();
PAGINOR_EXPORT QCursor KpZoomOutCursor();
// Sets the screen-wide cursor override; the arrow cursor removes every override.
PAGINOR_EXPORT void KpSetScreenCursor(const QCursor& cursor);

} // namespace kp
