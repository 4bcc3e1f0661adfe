#pragma once
// Field access to the document, the preview and its printer (see drawing/KpFieldAccess.h).
// Not part of the installed headers.
#include "drawing/KpFieldAccess.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"
