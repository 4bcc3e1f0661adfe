// The meta-object of KpEnums is compiled here, where every named enumeration is complete.
#include "preview/KpPropertyEnums.h"

#include "content/KpLabelTemplates.h"
#include "drawing/KpUnits.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"
#include "thumbnails/KpThumbnails.h"

#include "moc_KpPropertyEnums.cpp"
