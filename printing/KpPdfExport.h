#pragma once
// PDF export: the preview's print job run onto a PDF file through a virtual printer, with the
// same geometry, events, pages-per-sheet and colour rules, also when no printer is installed.
#include "paginor/KpExport.h"

#include <QPoint>
#include <QString>

namespace kp {

class TKpPreview;

struct PAGINOR_EXPORT TKpPdfExportOptions {
    // Device resolution of the virtual printer.
    int Resolution = 600;
    // Corner of the printable area in device pixels (0, 0: the whole sheet is printable).
    QPoint Offset{0, 0};
    // Pages to export; ToPage below 1 means the last page.
    int FromPage = 1;
    int ToPage = 0;
};

// Runs PrintRange onto fileName. The sheet is the document's paper size, in the document's
// orientation; the printer's PrintColor and the preview's PagesPerSheet and PrintCopies apply.
// The system printer's selection, orientation and title are left as they were.
PAGINOR_EXPORT void ExportToPdf(TKpPreview& preview, const QString& fileName,
                                const TKpPdfExportOptions& options = {});

} // namespace kp
