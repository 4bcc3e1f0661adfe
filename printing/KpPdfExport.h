#pragma once
// PDF export: a document's print job run onto a PDF file through a virtual printer, with the
// same geometry, events, pages-per-sheet and colour rules, also when no printer is installed.
#include "paginor/KpExport.h"

#include <QPoint>
#include <QString>

#include "printing/KpErrors.h"

namespace kp {

class TKpDocument;
class TKpPrintJob;

struct PAGINOR_EXPORT TKpPdfExportOptions {
    // Device resolution of the virtual printer.
    int Resolution = 600;
    // Corner of the printable area in device pixels (0, 0: the whole sheet is printable).
    QPoint Offset{0, 0};
    // Pages to export; ToPage below 1 means the last page.
    int FromPage = 1;
    int ToPage = 0;
    // The PDF's document information besides its title; empty: none.
    QString Author;
    QString Subject;
};

// Prints the document onto fileName, one page a sheet in colour. The sheet is the document's
// paper size, in the document's orientation; the title is the document's. The system
// printer's selection, orientation and title are left as they were. The PDF carries the whole
// title, the options' author and subject, the document's links as link annotations and its
// bookmarks as the outline; when they cannot be added, the PDF stays as printed and the
// result's Error says so. A file that cannot be written comes back as the result's Error (and
// is reported, printing/KpErrors.h); options out of range raise std::invalid_argument or
// std::out_of_range before anything is written.
PAGINOR_EXPORT TKpResult ExportToPdf(TKpDocument& document, const QString& fileName,
                                     const TKpPdfExportOptions& options = {});

// The same with a job its host set up (a preview's: its printer's PrintColor, its
// PagesPerSheet, PrintCopies and print events apply). The job's document is exported.
PAGINOR_EXPORT TKpResult ExportToPdf(TKpPrintJob& job, TKpDocument& document, const QString& title,
                                     const QString& fileName, const TKpPdfExportOptions& options);

} // namespace kp
